#include "TextFile.h"

int32_t CTextFile::Read(void* buffer, int32_t count) {
    return CFile::Read(buffer, count);
}

int32_t CTextFile::ReadPiece(char* buffer, int32_t size, bool* lineEnded) {
    *lineEnded = false;
    if (stream == nullptr || size < 2)
        return -1;
    int32_t i = 0;
    while (i < size - 1) {
        const int c = std::getc(stream);
        if (c == EOF) {
            if (i == 0)
                return -1;
            buffer[i++] = '\n'; // the last line, without its line end
            *lineEnded = true;
            break;
        }
        if (c == '\r' || c == '\n') {
            // The other one of the pair belongs to this line end; any other
            // byte opens the next line.
            const int next = std::getc(stream);
            if (next != EOF && next != (c == '\r' ? '\n' : '\r'))
                std::ungetc(next, stream);
            buffer[i++] = '\n';
            *lineEnded = true;
            break;
        }
        buffer[i++] = char(c);
    }
    buffer[i] = '\0';
    return i;
}

char* CTextFile::ReadString(char* buffer, int32_t size) {
    bool lineEnded;
    return ReadPiece(buffer, size, &lineEnded) < 0 ? nullptr : buffer;
}

char* CTextFile::ReadLine(char* buffer, int32_t size) {
    bool lineEnded;
    if (ReadPiece(buffer, size, &lineEnded) < 0)
        return nullptr;
    // The rest of a cut line; the end of the file ends it as well.
    char rest[128];
    while (!lineEnded && ReadPiece(rest, sizeof rest, &lineEnded) >= 0) {
    }
    return buffer;
}

void CTextFile::SeekToBegin() {
    if (stream != nullptr)
        std::rewind(stream);
}
