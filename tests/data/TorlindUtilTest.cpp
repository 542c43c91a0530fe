// The company profile page, the market and industry lookups and the profile
// folders.
#include "TorlindUtil.h"

#include "MarketConv.h"
#include "TempFolder.h"
#include "VezizoMain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

// EUC-JP markers of the profile page.
const std::string kCategoryMark =
    "\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0\xA1\xDB";                     // 【業種分類】
const std::string kMarketMark = "\xA1\xDA\xBB\xD4\xBE\xEC\xCC\xBE\xA1\xDB"; // 【市場名】
const std::string kFeatureMark = "\xA1\xDA\xC6\xC3\xBF\xA7\xA1\xDB";        // 【特色】
const std::string kBusinessMark = "\xBB\xF6\xB6\xC8\xA1\xDB";               // 事業】
const std::string kFundsMark = "\xBB\xF1\xB6\xE2\xA1\xDB";                  // 資金】

const std::string kTokyo1Euc = "\xC5\xEC\xBE\xDA\x31\xC9\xF4";       // 東証1部
const std::string kTokyo1Sjis = "\x93\x8C\x8F\xD8\x31\x95\x94";      // 東証1部
const std::string kElectricEuc = "\xC5\xC5\xB5\xA4\xB5\xA1\xB4\xEF"; // 電気機器

std::string Item(const std::string& mark, const std::string& text) {
    return "<tr><td class=k>" + mark + text + "</TD></tr>\n";
}

class Profile : public ::testing::Test {
protected:
    FUNDAMENTAL Extract(const std::string& page) {
        FUNDAMENTAL record;
        memset(&record, 'x', sizeof record);
        WriteBytes(folder.file("p.html"), page);
        EXPECT_EQ(CTorlindUtil::ExtractFundamental(folder.file("p.html").c_str(), &record), 0);
        return record;
    }
    TempFolder folder;
};

} // namespace

TEST_F(Profile, TakesTheFourTextsInOrder) {
    const FUNDAMENTAL r = Extract("<html>" + Item(kCategoryMark, kElectricEuc) +
                                  Item(kMarketMark, kTokyo1Euc) + Item(kFeatureMark, "<b>F</b>") +
                                  Item(kFundsMark, "funds") + Item(kBusinessMark, "business"));
    EXPECT_STREQ(r.category, "\x93\x64\x8B\x43\x8B\x40\x8A\xED");
    EXPECT_EQ(r.market, kTokyo1Sjis);
    EXPECT_STREQ(r.feature, "<b>F</b>") << "tags inside the text are kept";
    EXPECT_STREQ(r.business, "business") << "事業】 goes before 資金】";
}

TEST_F(Profile, FallsBackToFundsWhenBusinessIsMissingOrEmpty) {
    const std::string head = Item(kCategoryMark, "c") + Item(kMarketMark, "m") +
                             Item(kFeatureMark, "f") + Item(kFundsMark, "funds");
    EXPECT_STREQ(Extract(head).business, "funds");
    EXPECT_STREQ(Extract(head + Item(kBusinessMark, "")).business, "funds");
}

TEST_F(Profile, AnEmptyTextStopsTheLaterOnes) {
    const FUNDAMENTAL r = Extract(Item(kCategoryMark, "c") + Item(kMarketMark, "") +
                                  Item(kFeatureMark, "f") + Item(kBusinessMark, "b"));
    EXPECT_STREQ(r.category, "c");
    EXPECT_STREQ(r.market, "");
    EXPECT_STREQ(r.feature, "");
    EXPECT_STREQ(r.business, "");

    const FUNDAMENTAL none = Extract(Item(kMarketMark, "m") + Item(kFeatureMark, "f"));
    const FUNDAMENTAL zero = {};
    EXPECT_EQ(memcmp(&none, &zero, sizeof zero), 0);
}

TEST_F(Profile, CutsLongTextsToTheirFields) {
    const FUNDAMENTAL r =
        Extract(Item(kCategoryMark, std::string(100, 'c')) + Item(kMarketMark, "m") +
                Item(kFeatureMark, std::string(300, 'f')) + Item(kBusinessMark, "b"));
    EXPECT_EQ(strlen(r.category), 62u);
    EXPECT_EQ(strlen(r.feature), 254u);
    EXPECT_EQ(r.feature[255], '\0');
}

TEST_F(Profile, ReadsOnlyTheFirstMebibyteOfAPage) {
    const std::string item = Item(kCategoryMark, "c");
    const std::string padding(size_t(CTorlindUtil::kMaxProfilePage) - item.size(), ' ');
    EXPECT_STREQ(Extract(padding + item).category, "c");
    // Seven bytes more push the ">" of "</TD>" beyond what is read.
    EXPECT_STREQ(Extract(padding + std::string(7, ' ') + item).category, "");
}

TEST_F(Profile, MissingFileGivesAnEmptyRecord) {
    FUNDAMENTAL record;
    memset(&record, 'x', sizeof record);
    EXPECT_EQ(CTorlindUtil::ExtractFundamental(folder.file("absent").c_str(), &record), -1);
    EXPECT_EQ(record.market[0], '\0');
    EXPECT_EQ(record.business[255], '\0');
}

TEST(ExtractText, MarkersMustBothBePresent) {
    char out[8];
    EXPECT_EQ(CTorlindUtil::ExtractText("a[xyz]b", "[", "]", out, sizeof out), 3);
    EXPECT_STREQ(out, "xyz");
    EXPECT_EQ(CTorlindUtil::ExtractText("a[xyz", "[", "]", out, sizeof out), 0);
    EXPECT_EQ(CTorlindUtil::ExtractText("]xyz", "[", "]", out, sizeof out), 0);
    EXPECT_EQ(CTorlindUtil::ExtractText("[]", "[", "]", out, sizeof out), 0);
    EXPECT_EQ(CTorlindUtil::ExtractText("[0123456789]", "[", "]", out, 5), 4);
    EXPECT_STREQ(out, "0123");
}

TEST(CategoryCode, ComparesTheTableNamesAsPrefixes) {
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x93\x64\x8B\x43\x8B\x40\x8A\xED"), 16); // 電気機器
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x93\x64\x8B\x43\x81\x45\x83\x4B\x83\x58\x8B\xC6"),
              20); // 電気・ガス業
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x8F\xEE\x95\xF1\x81\x45\x92\xCA\x90\x4D\x8B\xC6"),
              25); // 情報・通信業
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x8F\xD8\x8C\x94\x81\x41\x8F\xA4\x95\x69\x90\xE6\x95"
                                         "\xA8\x8E\xE6\x88\xF8\x8B\xC6"),
              0); // 証券、商品先物取引業
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x8F\xD8\x8C\x94\x8B\xC6"), 29); // 証券業
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x82\xBB\x82\xCC\x91\xBC\x90\xBB\x95\x69"),
              19); // その他製品
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x82\xBB\x82\xCC\x91\xBC\x8B\xE0\x97\x5A\x8B\xC6"),
              31); // その他金融業
    EXPECT_EQ(CTorlindUtil::CategoryCode(""), 0);
    EXPECT_EQ(CTorlindUtil::CategoryCode(" \x8F\xD8\x8C\x94\x8B\xC6"), 0);
    EXPECT_EQ(CTorlindUtil::CategoryCode("\x8F\xD8\x8C\x94"), 0) << "a shorter text";
}

TEST(MarketCode, LooksTheNameUpInTheMarketTable) {
    CMarketConv table;
    ASSERT_EQ(table.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
    g_marketConv = &table;
    EXPECT_EQ(CTorlindUtil::MarketCode(kTokyo1Sjis.c_str()), 1);
    EXPECT_EQ(CTorlindUtil::MarketCode(""), 1) << "an empty name matches the first entry";
    EXPECT_EQ(CTorlindUtil::MarketCode("nowhere"), 0);
    g_marketConv = nullptr;
    EXPECT_EQ(CTorlindUtil::MarketCode(kTokyo1Sjis.c_str()), 0);
}

TEST(CreateWorkDir, MakesTheThousandFoldersAndKeepsExistingOnes) {
    TempFolder folder;
    std::filesystem::create_directories(folder.file("fundamental/7000"));
    WriteBytes(folder.file("fundamental/7000/7203.html"), "kept");
    const std::string saved = g_webtempPath;
    g_webtempPath = folder.path();
    CTorlindUtil::CreateWorkDir();
    CTorlindUtil::CreateWorkDir();
    g_webtempPath = saved;
    for (int i = 1; i <= 9; ++i) {
        EXPECT_TRUE(
            std::filesystem::is_directory(folder.file("fundamental/" + std::to_string(i * 1000))));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("fundamental/0000")));
    EXPECT_EQ(ReadBytes(folder.file("fundamental/7000/7203.html")), "kept");
}
