// A text file read line by line, whatever its line ends.
#pragma once

#include "File.h"

class CTextFile : public CFile {
public:
    // Open's flags for reading a text file (0x11).
    static constexpr int32_t kReadText = 17;

    CTextFile() = default;
    ~CTextFile() override = default;

    int32_t Read(void* buffer, int32_t count);
    // One line ending in LF, NUL-terminated, at most size - 1 bytes stored; a longer
    // line comes in pieces. Every CR LF, LF CR, lone CR and lone LF ends a line
    // (pairs taken from the left), so a file may mix them and no CR or LF is ever
    // part of a line's text; a last line without a line end is a line all the
    // same. Null at the end of the file.
    char* ReadString(char* buffer, int32_t size);
    // One whole line, as ReadString, but a line too long for the buffer is cut to its
    // first size - 1 bytes (then without its LF) and the rest of it is read and
    // discarded, so that every line of the file takes exactly one call. Null at the
    // end of the file.
    char* ReadLine(char* buffer, int32_t size);
    void SeekToBegin();

private:
    // Reads up to size - 1 bytes of one line and terminates them; tells whether the
    // line end was reached. Returns the bytes stored, or -1 at the end of the file.
    int32_t ReadPiece(char* buffer, int32_t size, bool* lineEnded);
};
