#include "File.h"

int32_t CFile::Open(const char* path, int32_t flags, CFileException* /*error*/) {
    const bool binary = (flags & typeBinary) != 0;
    const bool write = (flags & (modeReadWrite | modeCreate)) != 0;
    const char* mode = write ? (binary ? "wb" : "w") : (binary ? "rb" : "r");
    stream = std::fopen(path, mode);
    return stream != nullptr ? 1 : 0;
}

int32_t CFile::Read(void* buffer, int32_t count) {
    if (stream == nullptr || count <= 0)
        return 0;
    return std::fread(buffer, size_t(count), 1, stream) == 1 ? 1 : 0;
}

int32_t CFile::Close() {
    if (stream == nullptr)
        return EOF;
    const int result = std::fclose(stream);
    stream = nullptr;
    return result;
}

int32_t CFile::Seek(int32_t offset, int32_t from) {
    if (stream == nullptr)
        return -1;
    return std::fseek(stream, offset, from == 0 ? SEEK_SET : SEEK_CUR) == 0 ? 0 : -1;
}
