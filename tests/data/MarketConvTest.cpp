#include "MarketConv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Shift-JIS names.
const std::string kTosho = "\x93\x8C\x8F\xD8";                         // Tokyo exchange
const std::string kTosho1 = kTosho + "1\x95\x94";                      // its first section
const std::string kOsaka = "\x91\xE5\x8F\xD8";                         // Osaka exchange
const std::string kOther = "\x82\xBB\x82\xCC\x91\xBC\x8E\x73\x8F\xEA"; // other markets

struct Table {
    TempFolder folder;
    CMarketConv conv;
    int32_t loaded = 0;
    explicit Table(const std::string& bytes) {
        WriteBytes(folder.file("market.csv"), bytes);
        loaded = conv.LoadMarketCsv(folder.file("market.csv").c_str());
    }
};

std::string FetchCode(const CMarketConv& conv, int32_t local) {
    char out[4];
    conv.LocalCodeToFetchCode(local, out);
    return out;
}

std::string Name(const CMarketConv& conv, int32_t local) {
    char out[32];
    conv.LocalCodeToMarketName(local, out);
    return out;
}

std::string DsFetchCode(const CMarketConv& conv, int32_t ds) {
    char out[4];
    conv.DSCodeToFetchCode(ds, out);
    return out;
}

} // namespace

TEST(MarketConv, ConvertsBetweenTheFourIdentities) {
    Table t("1, T, " + kTosho1 + "\n7, O, " + kOsaka + "\n9, T, " + kTosho + "2\n");
    ASSERT_EQ(t.loaded, 1);
    const CMarketConv& m = t.conv;
    ASSERT_EQ(m.nEntries(), 3);
    EXPECT_EQ(Name(m, 0), " " + kTosho1); // with the blank after the comma
    EXPECT_EQ(FetchCode(m, 1), "O");
    EXPECT_EQ(m.LocalCodeToDSCode(1), 7);
    EXPECT_EQ(m.FetchCodeToLocalCode("O"), 1);
    EXPECT_EQ(m.FetchCodeToLocalCode("T"), 0);  // the first of two
    EXPECT_EQ(m.FetchCodeToLocalCode("T2"), 3); // exact match only
    EXPECT_EQ(m.FetchCodeToLocalCode("X"), 3);
    EXPECT_EQ(m.MarketNameToLocalCode(kTosho1.c_str()), 0);
    EXPECT_EQ(m.MarketNameToLocalCode("\x93\x8C"), 0); // a prefix
    EXPECT_EQ(m.MarketNameToLocalCode((kOsaka + ",more").c_str()), 1);
    EXPECT_EQ(m.MarketNameToLocalCode("JASDAQ"), 3);
    EXPECT_EQ(DsFetchCode(m, 9), "T");
    EXPECT_EQ(DsFetchCode(m, 5), "X");
    for (int32_t outside : {-1, 3}) {
        EXPECT_EQ(FetchCode(m, outside), "X");
        EXPECT_EQ(Name(m, outside), kOther);
        EXPECT_EQ(m.LocalCodeToDSCode(outside), 0);
    }
}

TEST(MarketConv, MissingOrEmptyFileGivesTheFallBacks) {
    Table empty("");
    EXPECT_EQ(empty.loaded, 0);
    CMarketConv missing;
    EXPECT_EQ(missing.LoadMarketCsv("/nonexistent/market.csv"), 0);
    for (const CMarketConv* m : {&empty.conv, &missing}) {
        EXPECT_EQ(m->nEntries(), 0);
        EXPECT_EQ(m->FetchCodeToLocalCode("T"), 0);
        EXPECT_EQ(m->MarketNameToLocalCode(kTosho.c_str()), 0);
        EXPECT_EQ(FetchCode(*m, 0), "X");
        EXPECT_EQ(Name(*m, 0), kOther);
        EXPECT_EQ(m->LocalCodeToDSCode(0), 0);
        EXPECT_EQ(DsFetchCode(*m, 1), "X");
    }
}

TEST(MarketConv, EveryLineIsOneRowWhateverItHolds) {
    const std::string longName(60, 'n');
    Table t("1, T, " + kTosho + "\r\n" +             // CR LF: the LF opens the next line
            "garbage\r\n" +                          // does not scan
            "3, LONGCODE, x\r\n" +                   // code over its width
            "4, Q, " + longName + "\r\n" +           // name over its width
            "5, " + std::string(200, 'w') + "\r\n" + // over-long line
            "99999999999, N, " + kOsaka + "\r\n");
    const CMarketConv& m = t.conv;
    ASSERT_EQ(m.nEntries(), 6);
    EXPECT_EQ(Name(m, 0), " " + kTosho);
    EXPECT_EQ(m.LocalCodeToDSCode(1), 0);
    EXPECT_EQ(FetchCode(m, 1), "");
    EXPECT_EQ(FetchCode(m, 2), "LON");
    EXPECT_EQ(Name(m, 2), " x"); // the rest of the code is skipped
    EXPECT_EQ(Name(m, 3), " " + longName.substr(0, 30));
    EXPECT_EQ(m.LocalCodeToDSCode(4), 5);
    EXPECT_EQ(m.LocalCodeToDSCode(5), 2147483647);
    EXPECT_EQ(m.FetchCodeToLocalCode("N"), 5);
}

// The listing job takes a local code plus one as the DS code; the shipped table
// must keep the two in step.
TEST(MarketConv, ShippedTableNumbersItsRowsInOrder) {
    CMarketConv m;
    ASSERT_EQ(m.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
    ASSERT_GT(m.nEntries(), 0);
    for (int32_t i = 0; i < m.nEntries(); ++i) {
        EXPECT_EQ(m.LocalCodeToDSCode(i), i + 1);
        EXPECT_EQ(m.FetchCodeToLocalCode(FetchCode(m, i).c_str()), i);
        EXPECT_EQ(m.MarketNameToLocalCode(Name(m, i).c_str() + 1), i);
        EXPECT_EQ(Name(m, i)[0], ' ');
    }
}
