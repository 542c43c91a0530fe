// A text file read line by line, whatever its line-end convention.
#pragma once

#include "File.h"

class CTextFile : public CFile {
public:
    // Line-end conventions.
    enum { kLFCR = 0, kCR = 1, kLF = 2, kUnknown = -1 };

    CTextFile() = default;
    ~CTextFile() override = default;

    int32_t Read(void* buffer, int32_t count);
    // Detects the convention from the first line end; leaves the stream at the start.
    int32_t CheckTextType();
    // One line ending in LF, NUL-terminated, at most size - 1 bytes stored; a longer
    // line comes in pieces. Null at the end of the file.
    char* ReadString(char* buffer, int32_t size);
    void SeekToBegin();
    int32_t textType() const { return m_textType; }

private:
    int32_t m_textType = kUnknown;
};
