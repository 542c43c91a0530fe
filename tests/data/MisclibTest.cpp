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
    out.resize(std::strlen(out.c_str()));
    return out;
}

int32_t Cut(std::string& text, int32_t width) {
    const int32_t length = CutWText(text.data(), width);
    text.resize(std::strlen(text.c_str()));
    return length;
}

} // namespace

TEST(EucToSjis, ConvertsKnownCharactersAndKeepsAscii) {
    EXPECT_EQ(Euc2Sjis("\xC7\xAF"), "\x94\x4E");               // year
    EXPECT_EQ(Euc2Sjis("\xB1\xDF"), "\x89\x7E");               // yen
    EXPECT_EQ(Euc2Sjis("\xB7\xEE"), "\x8C\x8E");               // month
    EXPECT_EQ(Euc2Sjis("<td>12,345</td>"), "<td>12,345</td>"); // ASCII untouched
    EXPECT_EQ(Euc2Sjis("a\xC7\xAF"
                       "b"),
              "a\x94\x4E"
              "b");
    EXPECT_EQ(Euc2Sjis("ab\xC7"), "ab"); // a lone last high byte is dropped
    EXPECT_EQ(Euc2Sjis(""), "");
}

// What is no EUC-JP character never reaches a Shift-JIS text as raw bytes.
TEST(EucToSjis, BytesOfNoCharacterBecomeQuestionMarks) {
    const struct {
        const char* name;
        const char* euc;
        const char* sjis;
    } cases[] = {
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
            char* in = euc;
            char* out = expected;
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

TEST(RemoveKanji, KeepsOnlyTheNumber) {
    char yen[] = "1,234\x89\x7E";
    RemoveKanji(yen);
    EXPECT_STREQ(yen, "1234");
    char percent[] = "-12.5%";
    RemoveKanji(percent);
    EXPECT_STREQ(percent, "-12.5");
    char empty[] = "";
    RemoveKanji(empty);
    EXPECT_STREQ(empty, "");
    std::string longText(300, 'x');
    longText[5] = '7';
    const std::string before = longText;
    RemoveKanji(longText.data());
    EXPECT_EQ(longText, before);
}

TEST(RemoveComma, DropsSeparatorsBelowTheLimit) {
    char number[] = "1,234,567";
    RemoveComma(number);
    EXPECT_STREQ(number, "1234567");
    std::string longText(300, ',');
    RemoveComma(longText.data());
    EXPECT_EQ(longText, std::string(300, ','));
}

TEST(Findstr, GivesOneBasedPositions) {
    EXPECT_EQ(findstr("abc<td x>", "<td"), 4);
    EXPECT_EQ(findstr("abc", "x"), 0);
    EXPECT_EQ(findstr("", ""), 0);
    EXPECT_EQ(findstr("abc", ""), 1);
    EXPECT_EQ(findstr("ab</t", "</tr>"), 0); // a partial match at the end
    EXPECT_EQ(findstr("</tr></tr>", "</tr>"), 1);
}

TEST(CutWText, CutsAtCharacterBoundaries) {
    const std::string kanji = "\x93\x8C"; // a double-byte character
    std::string twoAndMore = kanji + kanji + "abc";
    EXPECT_EQ(Cut(twoAndMore, 4), 4);
    EXPECT_EQ(twoAndMore, kanji + kanji);

    std::string straddling = "a" + kanji + kanji + "x";
    EXPECT_EQ(Cut(straddling, 4), 5); // the character reaching the width stays whole
    EXPECT_EQ(straddling, "a" + kanji + kanji);

    std::string halfWidth = "ab\xB1"
                            "cd"; // half-width katakana byte
    EXPECT_EQ(Cut(halfWidth, 30), 2);
    EXPECT_EQ(halfWidth, "ab");

    std::string badTrail = "ab\x93\x0A"
                           "cd"; // lead byte without a trail byte
    EXPECT_EQ(Cut(badTrail, 30), 2);

    const std::string lowTrail = "\x83\x80"; // trail byte 0x80
    std::string shortText = "ab" + kanji + lowTrail + "~";
    EXPECT_EQ(Cut(shortText, 30), 7);
    EXPECT_EQ(shortText, "ab" + kanji + lowTrail + "~");

    std::string name = std::string(29, 'n') + kanji + "tail";
    EXPECT_EQ(Cut(name, 30), 31);
}

TEST(ByteOrder, SwapsEveryByte) {
    EXPECT_EQ(uint32_t(SwapLong(0x01020304)), 0x04030201u);
    EXPECT_EQ(uint32_t(SwapLong(int32_t(0xFF000080))), 0x800000FFu);
    const double value = 1234.5;
    const double swapped = SwapDouble(value);
    unsigned char a[8], b[8];
    std::memcpy(a, &value, 8);
    std::memcpy(b, &swapped, 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(a[i], b[7 - i]);
    EXPECT_EQ(SwapDouble(swapped), value);
}

TEST(NumberConversion, IsDefinedForAnyInput) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ClampToInt32(std::nan("")), 0);
    EXPECT_EQ(ClampToInt32(HUGE_VAL), kMax);
    EXPECT_EQ(ClampToInt32(-1e300), kMin);
    EXPECT_EQ(ClampToInt32(-12.9), -12);
    EXPECT_EQ(atoiClamped(" 42x"), 42);
    EXPECT_EQ(atoiClamped("-7"), -7);
    EXPECT_EQ(atoiClamped("abc"), 0);
    EXPECT_EQ(atoiClamped("99999999999999999999"), kMax);
    EXPECT_EQ(atoiClamped("-2147483648"), kMin);
    EXPECT_EQ(atoiClamped("-99999999999"), kMin);
}
