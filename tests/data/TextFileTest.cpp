// The line reader under the fetch list, the market table and servers.conf,
// and the file it stands on.
#include "TextFile.h"
#include "TestFolder.h"

namespace {

using V = std::vector<std::string>;

// Every line of a file holding bytes, read in buffers of bufferSize bytes by
// ReadString (pieces), or by ReadLine (one cut line) twice over.
V ReadAll(const std::string& bytes, int32_t bufferSize, bool whole = false) {
    TempFolder folder;
    WriteBytes(folder.file("t.csv"), bytes);
    CTextFile file;
    V lines;
    if (!file.Open(folder.file("t.csv").c_str(), CTextFile::kReadText, nullptr))
        return lines;
    std::vector<char> buffer(bufferSize);
    for (int pass = 0; pass < (whole ? 2 : 1); ++pass) {
        file.SeekToBegin(); // the readers count the lines, then read them again
        while ((whole ? file.ReadLine(buffer.data(), bufferSize)
                      : file.ReadString(buffer.data(), bufferSize)) != nullptr)
            lines.emplace_back(buffer.data());
    }
    file.Close();
    return lines;
}

} // namespace

// Every CR LF, LF CR, CR and LF ends a line, pairs taken from the left, in
// whatever mix; a last line without a line end is a line; long lines come
// in terminated pieces, or cut.
TEST(TextFile, EveryLineEndEndsALine) {
    // clang-format off
    const struct { const char* name; std::string bytes; int32_t size; V lines; } cases[] = {
        // name                 bytes                                       buffer  lines
        {"each end",            "a,1\n\rbb,2\r\nc\rd\n",                      128,    {"a,1\n", "bb,2\n", "c\n", "d\n"}},
        {"empty lines",         "a\r\n\r\nb\n\nc\r\rd\n\r\n\r",                  128,    {"a\n", "\n", "b\n", "\n", "c\n", "\n", "d\n", "\n"}},
        {"pairs from the left", "a\r\n\rb\n\r\nc",                           128,    {"a\n", "\n", "b\n", "\n", "c\n"}},
        {"unended single line", "one",                                      128,    {"one\n"}},
        {"empty file",          "",                                         128,    {}},
        {"a buffer of two",     "ab\n",                                     2,      {"a", "b", "\n"}},
        {"a buffer of one",     "ab\n",                                     1,      {}},
        {"pieces",              "0123456789\r\nab\r" + std::string(20, 'z'), 8,      {"0123456", "789\n", "ab\n", "zzzzzzz", "zzzzzzz", "zzzzzz\n"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll(c.bytes, c.size), c.lines);
    }
    EXPECT_EQ(
        ReadAll("0123456789\nab\n1234567\r\nend" + std::string(20, 'z'), 8, true),
        (V{"0123456", "ab\n", "1234567", "endzzzz", "0123456", "ab\n", "1234567", "endzzzz"}));
}

TEST(File, OpenModesReadAndSeek) {
    TempFolder folder;
    const std::string path = folder.file("f.bin");
    CFile file;
    EXPECT_EQ(file.Open(path.c_str(), CTextFile::kReadText, nullptr), 0); // missing
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
