// The extension dictionary: creation from the fetch list, the size check and
// profile updates.
#include "ExDic.h"
#include "StWorkingDirectory.h"
#include "TestFolder.h"
#include "TorlindUtil.h"

#include <tuple>

namespace {

const long kDicSize = 10240000;

class ExDic : public ShippedMarkets {
protected:
    void SetUp() override {
        ShippedMarkets::SetUp();
        WriteBytes(folder.file("fetchlist.csv"),
                   "7203,7203,T,Toyota\n6758,6758,O," + std::string(40, 's') + "\n");
        ASSERT_EQ(list.LoadFetchData(folder.path().c_str()), 0);
        g_fetchData = &list;
    }
    void TearDown() override { g_fetchData = nullptr, g_marketConv = nullptr; }
    std::string Dictionary() const { return ReadBytes(folder.file(CExDic::kFileName)); }
    std::string Record(int code) { return Dictionary().substr(size_t(code) * 1024, 1024); }

    TempFolder folder;
    StWorkingDirectory here{folder.path()};
    CFetchData list;
};

} // namespace

TEST_F(ExDic, MakeDicSeedsTheFetchListsCodesAndUpdateFillsOneRecord) {
    EXPECT_EQ(CExDic::CheckDic(), 0);
    ReplacedFiles replaced; // made whole under another name first
    ASSERT_EQ(CExDic::MakeDic(), 1);
    EXPECT_EQ(replaced.before.size(), 1u);
    EXPECT_EQ(CExDic::CheckDic(), 1);
    const std::string before = Dictionary();
    ASSERT_EQ(before.size(), size_t(kDicSize));
    EXPECT_EQ(Record(7203), std::string("\0\0\x1C\x23", 4) + std::string(12, '\0') + "7203" +
                                std::string(12, '\0') + "Toyota" + std::string(986, '\0'));
    EXPECT_EQ(Record(6758).substr(32, 32), std::string(30, 's') + std::string(2, '\0'));
    EXPECT_EQ(Record(1301), std::string(1024, '\0'));

    FUNDAMENTAL f = {};
    strcpy(f.category, "\x8F\xD8\x8C\x94\x8B\xC6");   // 証券業
    strcpy(f.market, "\x93\x8C\x8F\xD8\x31\x95\x94"); // 東証1部
    memset(f.feature, 'F', 255);
    memset(f.business, 'B', 255);
    ASSERT_EQ(CExDic::UpdateFundamental(7203, &f), 1);
    const FUNDAMENTAL empty = {}; // the first market, no category
    ASSERT_EQ(CExDic::UpdateFundamental(1301, &empty), 1);
    // Only the two records change: the code, market and category numbers, and
    // the texts; the code text and name survive.
    std::string after = before;
    after.replace(7203 * 1024, 12, std::string("\0\0\x1C\x23\0\0\0\x01\0\0\0\x1D", 12));
    after.replace(7203 * 1024 + 80, 512,
                  std::string(255, 'F') + '\0' + std::string(255, 'B') + '\0');
    after.replace(1301 * 1024, 8, std::string("\0\0\x05\x15\0\0\0\x01", 8));
    EXPECT_TRUE(Dictionary() == after);

    // An existing dictionary is left alone.
    EXPECT_EQ(CExDic::MakeDic(), 1);
    EXPECT_TRUE(Dictionary() == after);
}

// A file of another size in the dictionary's place is cut short or not a
// dictionary at all: it is refused, named, and never written into.
TEST_F(ExDic, FileOfAnotherSizeIsNeverWrittenInto) {
    const FUNDAMENTAL empty = {};
    EXPECT_EQ(CExDic::UpdateFundamental(7203, &empty), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file(CExDic::kFileName)));
    std::string message;
    EXPECT_TRUE(CExDic::CheckDicSize(message) && message.empty()); // none: MakeDic makes one
    for (const long size : {0L, 3L, 7203L * 1024 + 100, kDicSize - 1, kDicSize + 1}) {
        SCOPED_TRACE(size);
        const std::string bytes(size_t(size), '\x7F');
        WriteBytes(folder.file(CExDic::kFileName), bytes);
        EXPECT_FALSE(CExDic::CheckDicSize(message));
        const std::string says = folder.file(CExDic::kFileName) + " is " + std::to_string(size);
        EXPECT_EQ(message.rfind(says + " bytes long", 0), 0u) << message;
        EXPECT_NE(message.find("Move it away"), std::string::npos) << message;
        EXPECT_EQ(std::make_tuple(CExDic::CheckDic(), CExDic::MakeDic(),
                                  CExDic::UpdateFundamental(7203, &empty)),
                  std::make_tuple(0, 0, 0));
        EXPECT_TRUE(Dictionary() == bytes);
    }
    WriteBytes(folder.file(CExDic::kFileName), std::string(kDicSize, '\0'));
    EXPECT_EQ(CExDic::UpdateFundamental(-1, &empty), 0);
    EXPECT_EQ(CExDic::UpdateFundamental(10000, &empty), 0);
    EXPECT_TRUE(Dictionary() == std::string(kDicSize, '\0'));
}
