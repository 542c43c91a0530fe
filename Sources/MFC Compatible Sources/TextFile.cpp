#include "TextFile.h"

namespace {

// The line-end convention is judged from this many leading bytes.
constexpr size_t kProbeSize = 250;

} // namespace

int32_t CTextFile::Read(void* buffer, int32_t count) {
    return CFile::Read(buffer, count);
}

int32_t CTextFile::CheckTextType() {
    unsigned char probe[kProbeSize];
    const size_t n = stream != nullptr ? std::fread(probe, 1, kProbeSize, stream) : 0;
    Seek(0, 0);
    for (size_t i = 0; i < n; ++i) {
        if (probe[i] == '\r')
            return kCR;
        if (probe[i] == '\n')
            return i + 1 < n && probe[i + 1] == '\r' ? kLFCR : kLF;
    }
    return kLFCR;
}

int32_t CTextFile::ReadPiece(char* buffer, int32_t size, bool* lineEnded) {
    *lineEnded = false;
    if (stream == nullptr || size < 2)
        return -1;
    if (m_textType == kUnknown)
        m_textType = CheckTextType();
    int32_t i = 0;
    while (i < size - 1) {
        const int c = std::getc(stream);
        if (c == EOF)
            return -1; // a last line without a line end is not delivered
        if (m_textType == kCR && c == '\r') {
            buffer[i++] = '\n';
            *lineEnded = true;
            break;
        }
        buffer[i++] = char(c);
        if (c == '\n' && m_textType != kCR) {
            if (m_textType == kLFCR) {
                // Drop the CR of the pair; any other byte belongs to the next line.
                const int next = std::getc(stream);
                if (next != '\r' && next != EOF)
                    std::ungetc(next, stream);
            }
            *lineEnded = true;
            break;
        }
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
    char rest[128];
    while (!lineEnded) {
        if (ReadPiece(rest, sizeof rest, &lineEnded) < 0)
            return nullptr;
    }
    return buffer;
}

void CTextFile::SeekToBegin() {
    if (stream != nullptr)
        std::rewind(stream);
}
