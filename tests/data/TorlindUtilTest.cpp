// The company profile page, the market and industry lookups and the profile
// folders.
#include "TorlindUtil.h"
#include "TestFolder.h"

namespace {

// EUC-JP markers of the profile page.
const std::string kCategoryMark =
    "\xA1\xDA\xB6\xC8\xBC\xEF\xCA\xAC\xCE\xE0\xA1\xDB";                     // 【業種分類】
const std::string kMarketMark = "\xA1\xDA\xBB\xD4\xBE\xEC\xCC\xBE\xA1\xDB"; // 【市場名】
const std::string kFeatureMark = "\xA1\xDA\xC6\xC3\xBF\xA7\xA1\xDB";        // 【特色】
const std::string kBusinessMark = "\xBB\xF6\xB6\xC8\xA1\xDB";               // 事業】
const std::string kFundsMark = "\xBB\xF1\xB6\xE2\xA1\xDB";                  // 資金】

std::string Item(const std::string& mark, const std::string& text) {
    return "<tr><td class=k>" + mark + text + "</TD></tr>\n";
}

// category, market, feature, business
std::vector<std::string> Texts(const FUNDAMENTAL& r) {
    return {r.category, r.market, r.feature, r.business};
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

// The four texts in order, tags inside kept; 事業】 before 資金】, which
// stands in when the business text is missing or empty; an empty text stops
// the later ones; long texts are cut to their fields.
TEST_F(Profile, TakesTheFourTextsInOrder) {
    const std::string head = Item(kCategoryMark, "c") + Item(kMarketMark, "m");
    const std::string tail = Item(kFeatureMark, "<b>F</b>") + Item(kFundsMark, "funds");
    const struct {
        const char* name;
        std::string page;
        std::vector<std::string> texts;
    } rows[] = {
        {"all four", head + tail + Item(kBusinessMark, "b"), {"c", "m", "<b>F</b>", "b"}},
        {"no business", head + tail, {"c", "m", "<b>F</b>", "funds"}},
        {"empty business", head + tail + Item(kBusinessMark, ""), {"c", "m", "<b>F</b>", "funds"}},
        {"empty market",
         Item(kCategoryMark, "c") + Item(kMarketMark, "") + tail,
         {"c", "", "", ""}},
        {"no category", Item(kMarketMark, "m") + tail, {"", "", "", ""}},
        {"long texts",
         Item(kCategoryMark, std::string(100, 'c')) + Item(kMarketMark, "m") +
             Item(kFeatureMark, std::string(300, 'f')) + Item(kBusinessMark, "b"),
         {std::string(62, 'c'), "m", std::string(254, 'f'), "b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Texts(Extract(row.page)), row.texts);
    }
    const FUNDAMENTAL r = Extract(Item(kCategoryMark, "\xC5\xC5\xB5\xA4\xB5\xA1\xB4\xEF") +
                                  Item(kMarketMark, "\xC5\xEC\xBE\xDA\x31\xC9\xF4"));
    EXPECT_STREQ(r.category, "\x93\x64\x8B\x43\x8B\x40\x8A\xED"); // 電気機器 in Shift-JIS
    EXPECT_STREQ(r.market, "\x93\x8C\x8F\xD8\x31\x95\x94");       // 東証1部
    EXPECT_EQ(r.feature[255], '\0');

    // Only the first mebibyte is read: seven bytes more push the ">" of "</TD>" beyond it.
    const std::string item = Item(kCategoryMark, "c");
    const std::string padding(size_t(CTorlindUtil::kMaxProfilePage) - item.size(), ' ');
    EXPECT_STREQ(Extract(padding + item).category, "c");
    EXPECT_STREQ(Extract(padding + std::string(7, ' ') + item).category, "");

    FUNDAMENTAL missing;
    memset(&missing, 'x', sizeof missing);
    EXPECT_EQ(CTorlindUtil::ExtractFundamental(folder.file("absent").c_str(), &missing), -1);
    EXPECT_EQ(Texts(missing), (std::vector<std::string>{"", "", "", ""}));
}

TEST(ProfileLookups, TextsCategoriesMarketsAndFolders) {
    char out[8];
    for (const char* none : {"a[xyz", "]xyz", "[]"})
        EXPECT_EQ(CTorlindUtil::ExtractText(none, "[", "]", out, sizeof out), 0) << none;
    EXPECT_EQ(CTorlindUtil::ExtractText("a[0123456789]", "[", "]", out, 5), 4);
    EXPECT_STREQ(out, "0123");

    // The table names are compared as prefixes of the page's text.
    const struct {
        const char* sjis;
        int32_t code;
    } categories[] = {
        {"\x93\x64\x8B\x43\x8B\x40\x8A\xED", 16},                 // 電気機器
        {"\x8F\xEE\x95\xF1\x81\x45\x92\xCA\x90\x4D\x8B\xC6", 25}, // 情報・通信業
        {"\x8F\xD8\x8C\x94\x81\x41\x8F\xA4\x95\x69\x90\xE6\x95\xA8\x8E\xE6\x88\xF8\x8B\xC6",
         0},                                                      // 証券、商品先物取引業
        {"\x8F\xD8\x8C\x94\x8B\xC6", 29},                         // 証券業
        {"\x82\xBB\x82\xCC\x91\xBC\x8B\xE0\x97\x5A\x8B\xC6", 31}, // その他金融業
        {" \x8F\xD8\x8C\x94\x8B\xC6", 0},
        {"\x8F\xD8\x8C\x94", 0}, // a shorter text
    };
    for (const auto& c : categories)
        EXPECT_EQ(CTorlindUtil::CategoryCode(c.sjis), c.code) << c.code;

    CMarketConv table;
    ASSERT_EQ(table.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv"), 1);
    g_marketConv = &table;
    EXPECT_EQ(CTorlindUtil::MarketCode("\x93\x8C\x8F\xD8\x31\x95\x94"), 1);
    EXPECT_EQ(CTorlindUtil::MarketCode(""), 1) << "an empty name matches the first entry";
    EXPECT_EQ(CTorlindUtil::MarketCode("nowhere"), 0);
    g_marketConv = nullptr;
    EXPECT_EQ(CTorlindUtil::MarketCode("\x93\x8C\x8F\xD8\x31\x95\x94"), 0);

    // The thousand folders of the profile pages; what they hold stays.
    TempFolder folder;
    std::filesystem::create_directories(folder.file("fundamental/7000"));
    WriteBytes(folder.file("fundamental/7000/7203.html"), "kept");
    g_webtempPath = folder.path();
    CTorlindUtil::CreateWorkDir();
    for (int i = 1; i <= 9; ++i)
        EXPECT_TRUE(
            std::filesystem::is_directory(folder.file("fundamental/" + std::to_string(i * 1000))));
    EXPECT_FALSE(std::filesystem::exists(folder.file("fundamental/0000")));
    EXPECT_EQ(ReadBytes(folder.file("fundamental/7000/7203.html")), "kept");
}
