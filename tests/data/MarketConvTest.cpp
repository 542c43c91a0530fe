// The market table of market.csv: its rows and the four identities of a market.
#include "TestFolder.h"

namespace {

// Shift-JIS names.
const std::string kTosho = "\x93\x8C\x8F\xD8";                         // Tokyo exchange
const std::string kTosho1 = kTosho + "1\x95\x94";                      // its first section
const std::string kOsaka = "\x91\xE5\x8F\xD8";                         // Osaka exchange
const std::string kOther = "\x82\xBB\x82\xCC\x91\xBC\x8E\x73\x8F\xEA"; // other markets

// The fetch code, name and DS code of a local market code: "T| name|1".
std::string Identities(const CMarketConv& markets, int32_t local) {
    char fetchCode[4], name[32];
    markets.LocalCodeToFetchCode(local, fetchCode);
    markets.LocalCodeToMarketName(local, name);
    return std::string(fetchCode) + "|" + name + "|" +
           std::to_string(markets.LocalCodeToDSCode(local));
}

std::string DsFetchCode(const CMarketConv& conv, int32_t ds) {
    char out[4];
    conv.DSCodeToFetchCode(ds, out);
    return out;
}

} // namespace

// Every line is one row, whatever it holds and however it ends, and no line
// end gets into a name; a missing or empty file gives the fall-backs.
TEST(MarketConv, ConvertsBetweenTheFourIdentities) {
    // clang-format off
    const struct { std::string line; std::string identities; } rows[] = {
        // line of market.csv                        fetch code | name | DS code
        {"1, T, " + kTosho1 + "\r\n",                "T| " + kTosho1 + "|1"},
        {"7, O, " + kOsaka + "\r",                   "O| " + kOsaka + "|7"},
        {"9, T, " + kTosho + "2\n",                  "T| " + kTosho + "2|9"},
        {"garbage\n\r",                              "||0"},
        {"3, LONGCODE, x\r\n",                       "LON| x|3"}, // the rest of the code is skipped
        {"4, Q, " + std::string(60, 'n') + "\r",     "Q| " + std::string(30, 'n') + "|4"},
        {"5, " + std::string(200, 'w') + "\n",       "www||5"}, // a line over the buffer
        {"99999999999, N, " + kOsaka,                "N| " + kOsaka + "|2147483647"},
    };
    // clang-format on
    TempFolder folder;
    std::string text;
    for (const auto& row : rows)
        text += row.line;
    WriteBytes(folder.file("market.csv"), text);
    CMarketConv m;
    ASSERT_EQ(m.LoadMarketCsv(folder.file("market.csv").c_str()), 1);
    ASSERT_EQ(m.nEntries(), 8);
    for (int32_t local = 0; local < 8; ++local)
        EXPECT_EQ(Identities(m, local), rows[local].identities) << rows[local].line;
    EXPECT_EQ(Identities(m, 8), "X|" + kOther + "|0"); // outside the table
    EXPECT_EQ(Identities(m, -1), "X|" + kOther + "|0");
    // A fetch code matches exactly, the first of two wins; a name matches as a prefix, up to a
    // comma.
    // clang-format off
    for (const auto& [byName, key, local] : {std::tuple{false, std::string("O"), 1}, {false, "T", 0}, {false, "T2", 8},
             {true, kTosho1, 0}, {true, "\x93\x8C", 0}, {true, kOsaka + ",more", 1}, {true, "JASDAQ", 8}})
        EXPECT_EQ(byName ? m.MarketNameToLocalCode(key.c_str()) : m.FetchCodeToLocalCode(key.c_str()), local) << key;
    // clang-format on
    EXPECT_EQ(DsFetchCode(m, 9), "T");
    EXPECT_EQ(DsFetchCode(m, 6), "X");

    WriteBytes(folder.file("market.csv"), "");
    EXPECT_EQ(m.LoadMarketCsv(folder.file("market.csv").c_str()), 0);
    CMarketConv missing;
    EXPECT_EQ(missing.LoadMarketCsv("/nonexistent/market.csv"), 0);
    for (const CMarketConv* empty : {&m, &missing}) {
        EXPECT_EQ(empty->FetchCodeToLocalCode("T"), 0);
        EXPECT_EQ(empty->MarketNameToLocalCode(kTosho.c_str()), 0);
        EXPECT_EQ(Identities(*empty, 0), "X|" + kOther + "|0");
        EXPECT_EQ(DsFetchCode(*empty, 1), "X");
    }
}
