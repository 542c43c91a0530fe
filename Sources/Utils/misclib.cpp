#include "misclib.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Texts at least this long are left alone by the in-place cleaners.
constexpr size_t kCleanLimit = 256;

// A byte of a JIS X 0208 character in EUC-JP.
bool IsJisByte(unsigned char c) {
    return c >= 0xA1 && c <= 0xFE;
}

bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSjisTrail(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Keeps the bytes of text for which keep() holds, in order, in place.
template <typename Keep> void KeepBytes(char* text, Keep keep) {
    if (std::strlen(text) >= kCleanLimit)
        return;
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (keep(static_cast<unsigned char>(*in)))
            *out++ = *in;
    }
    *out = '\0';
}

} // namespace

void euc2sjis(const char* source, char* destination) {
    const auto* in = reinterpret_cast<const unsigned char*>(source);
    auto* out = reinterpret_cast<unsigned char*>(destination);
    // A page's bytes need not be EUC-JP: what is no character of it becomes
    // "?", so that only Shift-JIS is ever kept or written.
    while (*in != '\0') {
        if (*in < 0x80) {
            *out++ = *in++;
        } else if (in[1] == '\0') {
            ++in; // a lead byte without its partner is dropped
        } else if (IsJisByte(in[0]) && IsJisByte(in[1])) {
            _euc_to_sj(in, out);
            in += 2;
            out += 2;
        } else if (in[0] == 0x8E && in[1] >= 0xA1 && in[1] <= 0xDF) {
            *out++ = in[1]; // half-width katakana: one byte in Shift-JIS
            in += 2;
        } else if (in[0] == 0x8F && IsJisByte(in[1]) && IsJisByte(in[2])) {
            *out++ = '?'; // JIS X 0212 has no Shift-JIS form
            in += 3;
        } else {
            *out++ = '?';
            ++in;
        }
    }
    *out = '\0';
}

void _euc_to_sj(const unsigned char* euc, unsigned char* sjis) {
    const int c1 = euc[0];
    const int c2 = euc[1];
    const int lead = c1 <= 0xDE ? (c1 - 0xA1) / 2 + 0x81 : (c1 - 0xDF) / 2 + 0xE0;
    int trail;
    if (c1 % 2 != 0)
        trail = c2 <= 0xDF ? c2 - 0x61 : c2 - 0x60;
    else
        trail = c2 - 2;
    // Bytes outside the EUC-JP ranges go through the same arithmetic, modulo 256.
    sjis[0] = static_cast<unsigned char>(lead & 0xFF);
    sjis[1] = static_cast<unsigned char>(trail & 0xFF);
}

void RemoveKanji(char* text) {
    KeepBytes(text, [](unsigned char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; });
}

int32_t findstr(const char* text, const char* pattern) {
    const size_t n = std::strlen(pattern);
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (std::strncmp(text + i, pattern, n) == 0)
            return int32_t(i + 1);
    }
    return 0;
}

int32_t CutWText(char* text, int32_t width) {
    auto* bytes = reinterpret_cast<unsigned char*>(text);
    const size_t len = std::strlen(text);
    size_t i = 0;
    while (i < len) {
        const unsigned char c = bytes[i];
        if (IsSjisLead(c) && IsSjisTrail(bytes[i + 1])) {
            i += 2;
        } else if (c >= 0x20 && c <= 0x7F) {
            i += 1;
        } else {
            bytes[i] = '\0';
            return int32_t(i);
        }
        if (int64_t(i) >= width) {
            bytes[i] = '\0';
            return int32_t(i);
        }
    }
    return int32_t(len);
}

void RemoveComma(char* text) {
    KeepBytes(text, [](unsigned char c) { return c != ','; });
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

int32_t SwapLong(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint32_t swapped =
        (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
    return static_cast<int32_t>(swapped);
}

double SwapDouble(double value) {
    unsigned char bytes[sizeof(double)];
    std::memcpy(bytes, &value, sizeof bytes);
    for (size_t i = 0; i < sizeof bytes / 2; ++i)
        std::swap(bytes[i], bytes[sizeof bytes - 1 - i]);
    double result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

int32_t ClampToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t atoiClamped(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (std::isspace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    int64_t magnitude = 0;
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (*p - '0');
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}
