// Thin file classes over the standard I/O streams.
#pragma once

#include <cstdint>
#include <cstdio>

class CFileException {
public:
    CFileException() = default;
    CFileException(const CFileException&) = default;
    virtual ~CFileException() = default;
};

class CFile {
public:
    // Bits of Open's flags.
    enum { modeWrite = 0x01, modeReadWrite = 0x02, modeCreate = 0x04, typeBinary = 0x08 };

    CFile() = default;
    virtual ~CFile() = default; // does not close: every user calls Close

    // 1 when the file opened, 0 otherwise. error is not used.
    int32_t Open(const char* path, int32_t flags, CFileException* error);
    // 1 when all count bytes were read, 0 otherwise.
    int32_t Read(void* buffer, int32_t count);
    int32_t Close();
    // from 0: from the start; any other value: from the current position.
    int32_t Seek(int32_t offset, int32_t from);

protected:
    FILE* stream = nullptr;
};
