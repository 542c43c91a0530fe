// The one buffer into which the quote, historical and listing parsers read a
// downloaded page. Only one job runs at a time, so only one parse uses it.
#pragma once

#include <cstdint>

constexpr int32_t kPageBufferSize = 102400;

extern char s_buff[kPageBufferSize];

// Reads at most kPageBufferSize - 1 bytes of the file at path into s_buff and
// stores a NUL after the last byte read, so a page shorter than the previous
// one is seen only as far as its own bytes. Returns the length of the text
// (up to its first NUL byte), or -1 when the file cannot be opened.
int32_t ReadPageFile(const char* path);
