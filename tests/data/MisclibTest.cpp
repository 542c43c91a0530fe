// Text and number helpers every page reader uses.
#include "misclib.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
    // clang-format off
    const struct { const char* name; const char* euc; const char* sjis; } cases[] = {
        // both ends of each row and cell range of JIS X 0208 (as the C library's iconv converts them)
        {"JIS X 0208", "\xA1\xA1\xA1\xDF\xA1\xE0\xA1\xFE\xA2\xA1\xA2\xFE\xDE\xA1\xDF\xA1\xE0\xE0\xF4\xA6",
                       "\x81\x40\x81\x7E\x81\x80\x81\x9E\x81\x9F\x81\xFC\x9F\x9F\xE0\x40\xE0\xDE\xEA\xA4"},
        {"ASCII and kanji",                                     "<td>1,2\xC7\xAF</td>", "<td>1,2\x94\x4E</td>"},
        {"a lone last lead byte is dropped",                    "ab\xC7",                "ab"},
        {"a name spoiled as the service's bad-euc fault does",  "\xC7\xAF\x8E\xFFx",     "\x94\x4E??x"},
        {"half-width katakana",                                 "\x8E\xB1\x8E\xDF",      "\xB1\xDF"},
        {"JIS X 0212",                                          "a\x8F\xB0\xA1z",        "a?z"},
        {"a lead byte before ASCII keeps the ASCII",            "\xB0<td>",              "?<td>"},
        {"bytes below the JIS range",                           "\x80\x81\xA0z",         "???z"},
        {"a lone last lead byte after a bad one",               "\xFF\xA1",              "?"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Euc2Sjis(c.euc), c.sjis);
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
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    for (const auto& [value, clamped] :
         {std::pair{std::nan(""), 0}, {HUGE_VAL, kMax}, {-1e300, kMin}, {-12.9, -12}})
        EXPECT_EQ(ClampToInt32(value), clamped) << value;
    // clang-format off
    const struct { const char* text; int32_t value; } rows[] = {
        {" 42x", 42}, {"-7", -7}, {"abc", 0}, {"99999999999999999999", kMax},
        {"-2147483648", kMin}, {"-2147483647", kMin + 1}, {"-99999999999", kMin},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(atoiClamped(row.text), row.value) << row.text;
}
