// What every reader stands on: the text and number helpers, the table walker,
// and the line reader.
#include "misclib.h"
#include "TableScan.h"
#include "TestFolder.h"
#include "TextFile.h"

#include <cmath>

using V = std::vector<std::string>;

// What is no EUC-JP character never reaches a Shift-JIS text as raw bytes.
TEST(EucToSjis, ConvertsCharactersAndReplacesWhatIsNone) {
    // clang-format off
    const struct { const char* name; const char* euc; const char* sjis; } cases[] = {
        // both ends of each row and cell range of JIS X 0208 (as the C library's iconv converts them)
        {"JIS X 0208", "\xA1\xA1\xA1\xDF\xA1\xE0\xA1\xFE\xA2\xA1\xA2\xFE\xDE\xA1\xDF\xA1\xE0\xE0\xF4\xA6",
                       "\x81\x40\x81\x7E\x81\x80\x81\x9E\x81\x9F\x81\xFC\x9F\x9F\xE0\x40\xE0\xDE\xEA\xA4"},
        {"ASCII and kanji", "<td>1,2\xC7\xAF</td>", "<td>1,2\x94\x4E</td>"}, {"a lone last lead byte", "ab\xC7", "ab"},
        {"the bad-euc fault", "\xC7\xAF\x8E\xFFx", "\x94\x4E??x"}, {"half-width katakana", "\x8E\xB1\x8E\xDF", "\xB1\xDF"},
        {"JIS X 0212", "a\x8F\xB0\xA1z", "a?z"},                {"a lead byte before ASCII", "\xB0<td>", "?<td>"},
        {"below the JIS range", "\x80\x81\xA0z", "???z"},       {"a last lead byte after a bad one", "\xFF\xA1", "?"},
    };
    // clang-format on
    for (const auto& c : cases) {
        char sjis[64];
        euc2sjis(c.euc, sjis);
        EXPECT_STREQ(sjis, c.sjis) << c.name;
    }
}

// The cleaners of a figure's cell work on texts below 256 bytes only.
TEST(TextHelpers, CleanFiguresAndCutNames) {
    // clang-format off
    const struct { std::string text, withoutKanji, withoutComma; } figures[] = {
        {"1,230\x89\x7E", "1230", "1230\x89\x7E"}, {"-10.5%", "-10.5", "-10.5%"}, {"", "", ""},
        {std::string(300, ','), std::string(300, ','), std::string(300, ',')}, // 256 bytes or more: kept
    };
    // clang-format on
    for (const auto& f : figures) {
        std::string withoutKanji = f.text, withoutComma = f.text;
        RemoveKanji(withoutKanji.data());
        RemoveComma(withoutComma.data());
        EXPECT_EQ(withoutKanji.c_str(), f.withoutKanji) << f.text;
        EXPECT_EQ(withoutComma.c_str(), f.withoutComma) << f.text;
    }

    // The cut keeps the character that reaches the width whole and never
    // keeps a byte that is no Shift-JIS character.
    const std::string kanji = "\x93\x8C", lowTrail = "\x83\x80";
    // clang-format off
    const struct { std::string text; int32_t width; std::string cut; } cuts[] = {
        {kanji + kanji + "abc", 4, kanji + kanji},   {"a" + kanji + kanji + "x", 4, "a" + kanji + kanji},
        {"ab\xB1" "cd", 30, "ab"} /* half-width katakana */, {"ab\x93\x0A" "cd", 30, "ab"} /* a lead byte alone */,
        {"ab" + kanji + lowTrail + "~", 30, "ab" + kanji + lowTrail + "~"},
        {std::string(29, 'n') + kanji + "tail", 30, std::string(29, 'n') + kanji},
    };
    // clang-format on
    for (const auto& c : cuts) {
        std::string text = c.text;
        EXPECT_EQ(CutWText(text.data(), c.width), int32_t(c.cut.size())) << c.text;
        EXPECT_EQ(text.c_str(), c.cut);
    }
}

TEST(NumberConversion, IsDefinedForAnyInput) {
    for (const auto& [value, clamped] :
         {std::pair{std::nan(""), 0}, {HUGE_VAL, INT32_MAX}, {-1e300, INT32_MIN}, {-12.9, -12}})
        EXPECT_EQ(ClampToInt32(value), clamped) << value;
    // clang-format off
    const struct { const char* text; int32_t value; } rows[] = {
        {" 42x", 42}, {"-7", -7}, {"abc", 0}, {"99999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-2147483647", INT32_MIN + 1}, {"-99999999999", INT32_MIN},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(atoiClamped(row.text), row.value) << row.text;
}

// The rows of a page (length: how much of it the walker may see), and the
// text of each cell of each row.
TEST(TableScan, RowsAndCellsRunToTheNextEnd) {
    // clang-format off
    const struct { const char* name; std::string page; int32_t cut; V cells; } cases[] = {
        // name               page                                                bytes cut, "|" and text of each cell
        {"two rows",          "<tr><td>1</td><td a>2</td></tr>\n<tr x><td><b>3</b></td></tr>", 0, {"|1|2", "|3"}},
        {"stray row ends",    "</tr></tr>x</tr><tr><td>a</td></tr>",             0, {"|a"}},
        {"a row in a row",    "<tr><td>a<tr>b</tr>c</tr>",                       0, {"|ab"}},
        {"a last row unended", "<tr><td>a</td></tr><tr>b</t",                    0, {"|a"}},
        {"a row end beyond", "<tr><td>a</td></tr>", 1, {}}, {"no row start", "</tr><td>a</td></tr>", 0, {}},
        {"stray cell ends",   "<tr><td>1</td></td></td><td>2</td></tr>",         0, {"|1|||2"}}, // cells without text
        {"a cell unended",    "<tr><td>1<td>2</tr>x",                            0, {"|12"}}, // runs to the row's end
        {"no cell",           "<tr>x</td></tr>",                                 0, {""}},
        {"a long cell", "<tr><td>" + std::string(300, 'x') + "</tr>", 0, {"|" + std::string(255, 'x')}}, // cut
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        V rows;
        int32_t pos = 0, start = 0, length;
        while ((length = NextTableRow(c.page.data(), int32_t(c.page.size()) - c.cut, &pos,
                                      &start)) > 0) {
            CTableCells walk(c.page.data() + start, length);
            std::string cells; // each cell's text after a "|"
            for (int32_t at = 0, size = 0; walk.Next(&at, &size);) {
                char text[256];
                ExtractCellText(c.page.data() + start + at, size, text, sizeof text);
                cells += "|" + std::string(text);
            }
            rows.push_back(cells);
        }
        EXPECT_EQ(rows, c.cells);
    }
}

// Every CR LF, LF CR, CR and LF ends a line, pairs taken from the left, in
// whatever mix; a last line without a line end is a line; long lines come
// in terminated pieces, or cut.
TEST(TextFile, EveryLineEndEndsALine) {
    // clang-format off
    const struct { const char* name; std::string bytes; int32_t size; V lines; bool whole = false; } cases[] = {
        // name bytes buffer lines (ReadLine twice over when whole)
        {"each end", "a,1\n\rbb,2\r\nc\rd\n", 128, {"a,1\n", "bb,2\n", "c\n", "d\n"}},
        {"empty lines", "a\r\n\r\nb\n\nc\r\rd\n\r\n\r", 128, {"a\n", "\n", "b\n", "\n", "c\n", "\n", "d\n", "\n"}},
        {"pairs from the left", "a\r\n\rb\n\r\nc",                           128,    {"a\n", "\n", "b\n", "\n", "c\n"}},
        {"unended single line", "one", 128, {"one\n"}}, {"empty file", "", 128, {}},
        {"a buffer of two", "ab\n", 2, {"a", "b", "\n"}},   {"a buffer of one", "ab\n", 1, {}},
        {"pieces", "0123456789\r\nab\r" + std::string(20, 'z'), 8,
            {"0123456", "789\n", "ab\n", "zzzzzzz", "zzzzzzz", "zzzzzz\n"}},
        {"cut lines", "0123456789\nab\n1234567\r\nend" + std::string(20, 'z'), 8,
            {"0123456", "ab\n", "1234567", "endzzzz", "0123456", "ab\n", "1234567", "endzzzz"}, true},
    };
    // clang-format on
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(folder.file("t.csv"), c.bytes);
        CTextFile file;
        ASSERT_TRUE(file.Open(folder.file("t.csv").c_str(), CTextFile::kReadText, nullptr));
        V lines;
        std::vector<char> buffer(size_t(c.size));
        // ReadString gives pieces; ReadLine one cut line, here twice over as the readers
        // count the lines first.
        for (int pass = 0; pass < (c.whole ? 2 : 1); ++pass) {
            file.SeekToBegin();
            while ((c.whole ? file.ReadLine(buffer.data(), c.size)
                            : file.ReadString(buffer.data(), c.size)) != nullptr)
                lines.emplace_back(buffer.data());
        }
        file.Close();
        EXPECT_EQ(lines, c.lines);
    }
}
