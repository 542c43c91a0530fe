#include "TextFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kReadText = 17;

struct Lines {
    int32_t textType;
    std::vector<std::string> lines;
};

// Reads every line of a file holding bytes, the way the readers do.
Lines ReadAll(const std::string& bytes, int32_t bufferSize = 128) {
    TempFolder folder;
    WriteBytes(folder.file("t.csv"), bytes);
    CTextFile file;
    Lines result{0, {}};
    if (!file.Open(folder.file("t.csv").c_str(), kReadText, nullptr))
        return result;
    std::vector<char> buffer(bufferSize);
    while (file.ReadString(buffer.data(), bufferSize) != nullptr)
        result.lines.emplace_back(buffer.data());
    result.textType = file.textType();
    file.Close();
    return result;
}

using V = std::vector<std::string>;

} // namespace

TEST(TextFile, RecognisesTheFourLineEnds) {
    const struct {
        const char* bytes;
        int32_t textType;
        V lines;
    } cases[] = {
        {"a,1\n\rbb,2\n\r", CTextFile::kLFCR, {"a,1\n", "bb,2\n"}},
        {"a,1\r\nbb,2\r\n", CTextFile::kCR, {"a,1\n", "\nbb,2\n"}}, // LF opens the next line
        {"a,1\rbb,2\r", CTextFile::kCR, {"a,1\n", "bb,2\n"}},
        {"a,1\nbb,2\r\n", CTextFile::kLF, {"a,1\n", "bb,2\r\n"}},
        {"one\ntwo", CTextFile::kLF, {"one\n"}}, // an unended last line is not read
        {"", CTextFile::kLFCR, {}},
    };
    for (const auto& c : cases) {
        const Lines read = ReadAll(c.bytes);
        EXPECT_EQ(read.textType, c.textType) << c.bytes;
        EXPECT_EQ(read.lines, c.lines) << c.bytes;
    }
}

// No line end in the first 250 bytes gives LF-CR; the byte after each LF that is
// not a CR still belongs to the next line.
TEST(TextFile, LfCrModeKeepsTheByteAfterAPlainLf) {
    const std::string longLine(300, 'x');
    Lines lines = ReadAll(longLine + "\nab\ncd\n", 400);
    EXPECT_EQ(lines.textType, CTextFile::kLFCR);
    EXPECT_EQ(lines.lines, (V{longLine + "\n", "ab\n", "cd\n"}));
}

TEST(TextFile, LongLinesAreTerminatedPiecesOrOneCutLine) {
    const std::string bytes = "0123456789\nab\n" + std::string(20, 'z');
    EXPECT_EQ(ReadAll(bytes, 8).lines, (V{"0123456", "789\n", "ab\n", "zzzzzzz", "zzzzzzz"}));

    TempFolder folder;
    WriteBytes(folder.file("t.csv"), "0123456789\nab\n1234567\nend" + std::string(20, 'z'));
    CTextFile file;
    ASSERT_EQ(file.Open(folder.file("t.csv").c_str(), kReadText, nullptr), 1);
    char buffer[8];
    ASSERT_NE(file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "0123456");
    ASSERT_NE(file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "ab\n");
    ASSERT_NE(file.ReadLine(buffer, sizeof buffer), nullptr); // exactly size - 1 bytes of text
    EXPECT_STREQ(buffer, "1234567");
    EXPECT_EQ(file.ReadLine(buffer, sizeof buffer), nullptr); // the last line has no end
    file.Close();
}

TEST(TextFile, RewindReadsAgainWithTheSameConvention) {
    TempFolder folder;
    WriteBytes(folder.file("t.csv"), "a\rb\r");
    CTextFile file;
    ASSERT_EQ(file.Open(folder.file("t.csv").c_str(), kReadText, nullptr), 1);
    char buffer[16];
    for (int pass = 0; pass < 3; ++pass) {
        int n = 0;
        while (file.ReadString(buffer, sizeof buffer) != nullptr)
            ++n;
        EXPECT_EQ(n, 2) << "pass " << pass;
        EXPECT_EQ(file.textType(), CTextFile::kCR);
        if (pass == 0)
            file.SeekToBegin();
        else
            EXPECT_EQ(file.Seek(0, 0), 0);
    }
    file.Close();
}

TEST(File, OpenModesReadAndSeek) {
    TempFolder folder;
    const std::string path = folder.file("f.bin");
    CFile file;
    EXPECT_EQ(file.Open(path.c_str(), kReadText, nullptr), 0); // missing
    ASSERT_EQ(file.Open(path.c_str(), CFile::modeCreate | CFile::typeBinary, nullptr), 1);
    file.Close();
    WriteBytes(path, "01234");

    ASSERT_EQ(file.Open(path.c_str(), CFile::typeBinary, nullptr), 1);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 10), 0); // only 5 bytes: not all were read
    ASSERT_EQ(file.Seek(1, 0), 0);
    ASSERT_EQ(file.Seek(2, 2), 0); // from the current position, not from the end
    ASSERT_EQ(file.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '3');
    EXPECT_EQ(file.Seek(-10, 0), -1);
    EXPECT_EQ(file.Close(), 0);
}
