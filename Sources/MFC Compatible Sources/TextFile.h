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
    // line comes in pieces. Null at the end of the file: a last line without a line
    // end is not delivered. In CR files the LF of a CR LF pair opens the next line.
    char* ReadString(char* buffer, int32_t size);
    // One whole line, as ReadString, but a line too long for the buffer is cut to its
    // first size - 1 bytes (then without its LF) and the rest of it is read and
    // discarded, so that every line of the file takes exactly one call. Null at the
    // end of the file.
    char* ReadLine(char* buffer, int32_t size);
    void SeekToBegin();
    int32_t textType() const { return m_textType; }

private:
    // Reads up to size - 1 bytes of one line and terminates them; tells whether the
    // line end was reached. Returns the bytes stored, or -1 at the end of the file.
    int32_t ReadPiece(char* buffer, int32_t size, bool* lineEnded);

    int32_t m_textType = kUnknown;
};
