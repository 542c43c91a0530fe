#include "PageBuffer.h"

#include <cstdio>
#include <cstring>

char s_buff[kPageBufferSize];

int32_t ReadPageFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return -1;
    const size_t count = std::fread(s_buff, 1, kPageBufferSize - 1, file);
    std::fclose(file);
    s_buff[count] = '\0';
    // A NUL byte inside the page ends the text the parsers see.
    return int32_t(strnlen(s_buff, count));
}
