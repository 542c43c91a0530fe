// Byte-string helpers for the page extractors: Japanese text conversion,
// scanning, number cleaning, byte order. Nothing here keeps state.
#pragma once

#include <cstdint>
#include <string>

// EUC-JP to Shift-JIS; a byte that begins no EUC-JP character, and a JIS X
// 0212 character, becomes "?". destination needs strlen(source) + 1 bytes.
void euc2sjis(const char* source, char* destination);
void _euc_to_sj(const unsigned char* euc, unsigned char* sjis);
// Keeps only '0'..'9', '.' and '-' (texts of 256 bytes or more stay unchanged).
void RemoveKanji(char* text);

// 1-based position of pattern in text, 0 when absent.
int32_t findstr(const char* text, const char* pattern);
// Cuts text in place after about width bytes without splitting a double-byte
// character; returns the new length.
int32_t CutWText(char* text, int32_t width);
// Removes every ',' (texts of 256 bytes or more stay unchanged).
void RemoveComma(char* text);
// text without the blanks, tabs, CRs and LFs around it.
std::string Trimmed(const std::string& text);
int32_t SwapLong(int32_t value);
double SwapDouble(double value);

// Number conversions that are defined for any input: NaN and infinities give 0,
// values beyond the 32-bit range are clamped to it.
int32_t ClampToInt32(double value);
// atoi without undefined behaviour: no digits give 0, overflow is clamped.
int32_t atoiClamped(const char* text);

// A four-character code as a 32-bit value, first character most significant.
constexpr uint32_t FourCharCode(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}
