// Text and number helpers every page reader uses.
#include "misclib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iconv.h>
#include <limits>
#include <string>

namespace {

std::string Euc2Sjis(const std::string& euc) {
    std::string out(euc.size() + 1, '\0');
    euc2sjis(euc.c_str(), out.data());
    return out.c_str();
}

} // namespace

// What is no EUC-JP character never reaches a Shift-JIS text as raw bytes.
TEST(EucToSjis, ConvertsCharactersAndReplacesWhatIsNone) {
    const struct {
        const char* name;
        const char* euc;
        const char* sjis;
    } cases[] = {
        {"ASCII and kanji", "<td>1,2\xC7\xAF</td>", "<td>1,2\x94\x4E</td>"},
        {"a lone last lead byte is dropped", "ab\xC7", "ab"},
        {"a name spoiled as the service's bad-euc fault does", "\xC7\xAF\x8E\xFFx", "\x94\x4E??x"},
        {"half-width katakana", "\x8E\xB1\x8E\xDF", "\xB1\xDF"},
        {"JIS X 0212", "a\x8F\xB0\xA1z", "a?z"},
        {"a lead byte before ASCII keeps the ASCII", "\xB0<td>", "?<td>"},
        {"bytes below the JIS range", "\x80\x81\xA0z", "???z"},
        {"a lone last lead byte after a bad one", "\xFF\xA1", "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Euc2Sjis(c.euc), c.sjis);
    }
}

// Every JIS X 0208 character the C library can convert must come out as it does.
TEST(EucToSjis, AgreesWithIconvOnEveryJisX0208Cell) {
    iconv_t cd = iconv_open("SHIFT_JIS", "EUC-JP");
    ASSERT_NE(cd, iconv_t(-1)) << "iconv lacks EUC-JP to SHIFT_JIS";
    int compared = 0;
    for (int row = 1; row <= 94; ++row) {
        for (int cell = 1; cell <= 94; ++cell) {
            char euc[2] = {char(0xA0 + row), char(0xA0 + cell)};
            char expected[8];
            char *in = euc, *out = expected;
            size_t inLeft = 2, outLeft = sizeof expected;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1) || out - expected != 2)
                continue; // unassigned cell
            unsigned char sjis[2];
            _euc_to_sj(reinterpret_cast<const unsigned char*>(euc), sjis);
            ASSERT_EQ(std::memcmp(sjis, expected, 2), 0) << "row " << row << " cell " << cell;
            ++compared;
        }
    }
    iconv_close(cd);
    EXPECT_GT(compared, 6800);
}

// The cleaners of a figure's cell work on texts below 256 bytes only.
TEST(TextHelpers, CleanFiguresAndCutNames) {
    const struct {
        std::string text, withoutKanji, withoutComma;
    } figures[] = {
        {"1,230\x89\x7E", "1230", "1230\x89\x7E"},
        {"-10.5%", "-10.5", "-10.5%"},
        {"", "", ""},
        {std::string(300, ','), std::string(300, ','), std::string(300, ',')},
    };
    for (const auto& f : figures) {
        std::string text = f.text;
        RemoveKanji(text.data());
        EXPECT_EQ(text.c_str(), f.withoutKanji) << f.text;
        text = f.text;
        RemoveComma(text.data());
        EXPECT_EQ(text.c_str(), f.withoutComma) << f.text;
    }

    // The cut keeps the character that reaches the width whole and never
    // keeps a byte that is no Shift-JIS character.
    const std::string kanji = "\x93\x8C", lowTrail = "\x83\x80";
    const struct {
        std::string text;
        int32_t width;
        std::string cut;
    } cuts[] = {
        {kanji + kanji + "abc", 4, kanji + kanji},
        {"a" + kanji + kanji + "x", 4, "a" + kanji + kanji},
        {"ab\xB1"
         "cd",
         30, "ab"}, // half-width katakana
        {"ab\x93\x0A"
         "cd",
         30, "ab"}, // a lead byte without a trail byte
        {"ab" + kanji + lowTrail + "~", 30, "ab" + kanji + lowTrail + "~"},
        {std::string(29, 'n') + kanji + "tail", 30, std::string(29, 'n') + kanji},
    };
    for (const auto& c : cuts) {
        std::string text = c.text;
        EXPECT_EQ(CutWText(text.data(), c.width), int32_t(c.cut.size())) << c.text;
        EXPECT_EQ(text.c_str(), c.cut);
    }
}

TEST(NumberConversion, IsDefinedForAnyInput) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ClampToInt32(std::nan("")), 0);
    EXPECT_EQ(ClampToInt32(HUGE_VAL), kMax);
    EXPECT_EQ(ClampToInt32(-1e300), kMin);
    EXPECT_EQ(ClampToInt32(-12.9), -12);
    const struct {
        const char* text;
        int32_t value;
    } rows[] = {{" 42x", 42},
                {"-7", -7},
                {"abc", 0},
                {"99999999999999999999", kMax},
                {"-2147483648", kMin},
                {"-2147483647", kMin + 1},
                {"-99999999999", kMin}};
    for (const auto& row : rows)
        EXPECT_EQ(atoiClamped(row.text), row.value) << row.text;
}
