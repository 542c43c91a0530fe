#include "TextFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kReadText = 17;

// Reads every line of a file holding bytes, the way the readers do.
std::vector<std::string> ReadAll(const std::string& bytes, int32_t bufferSize = 128) {
    TempFolder folder;
    WriteBytes(folder.file("t.csv"), bytes);
    CTextFile file;
    std::vector<std::string> lines;
    if (!file.Open(folder.file("t.csv").c_str(), kReadText, nullptr))
        return lines;
    std::vector<char> buffer(bufferSize);
    while (file.ReadString(buffer.data(), bufferSize) != nullptr)
        lines.emplace_back(buffer.data());
    file.Close();
    return lines;
}

using V = std::vector<std::string>;

} // namespace

// Every CR LF, LF CR, CR and LF ends a line, pairs taken from the left, in
// whatever mix; a last line without a line end is a line.
TEST(TextFile, EveryLineEndEndsALine) {
    const struct {
        const char* name;
        const char* bytes;
        V lines;
    } cases[] = {
        {"LF CR", "a,1\n\rbb,2\n\r", {"a,1\n", "bb,2\n"}},
        {"CR LF", "a,1\r\nbb,2\r\n", {"a,1\n", "bb,2\n"}},
        {"CR", "a,1\rbb,2\r", {"a,1\n", "bb,2\n"}},
        {"LF", "a,1\nbb,2\n", {"a,1\n", "bb,2\n"}},
        {"LF then CR LF", "a,1\nbb,2\r\n", {"a,1\n", "bb,2\n"}},
        {"empty lines",
         "a\r\n\r\nb\n\nc\r\rd\n\r\n\r",
         {"a\n", "\n", "b\n", "\n", "c\n", "\n", "d\n", "\n"}},
        {"pairs from the left", "a\r\n\rb\n\r\nc", {"a\n", "\n", "b\n", "\n", "c\n"}},
        {"unended last line", "one\ntwo", {"one\n", "two\n"}},
        {"unended single line", "one", {"one\n"}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll(c.bytes), c.lines);
    }
}

TEST(TextFile, LongLinesAreTerminatedPiecesOrOneCutLine) {
    const std::string bytes = "0123456789\r\nab\r" + std::string(20, 'z');
    EXPECT_EQ(ReadAll(bytes, 8), (V{"0123456", "789\n", "ab\n", "zzzzzzz", "zzzzzzz", "zzzzzz\n"}));

    TempFolder folder;
    WriteBytes(folder.file("t.csv"), "0123456789\nab\n1234567\r\nend" + std::string(20, 'z'));
    CTextFile file;
    ASSERT_EQ(file.Open(folder.file("t.csv").c_str(), kReadText, nullptr), 1);
    char buffer[8];
    const V expected = {"0123456", "ab\n", "1234567", "endzzzz"}; // 1234567: size - 1 bytes
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        V lines;
        while (file.ReadLine(buffer, sizeof buffer) != nullptr)
            lines.emplace_back(buffer);
        EXPECT_EQ(lines, expected);
        file.SeekToBegin(); // both readers count the lines, then read them again
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
