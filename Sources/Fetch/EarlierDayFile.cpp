#include "EarlierDayFile.h"

#include "misclib.h"

#include <cstring>

CEarlierDayFile::CEarlierDayFile(const std::string& path, int32_t nHeaderLines, const char* lineEnd,
                                 bool quoted) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return;
    std::string bytes;
    char chunk[8192];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0 &&
           bytes.size() + n <= size_t(kMaxFileSize))
        bytes.append(chunk, n);
    const bool whole = std::feof(file) && !std::ferror(file);
    std::fclose(file);
    if (!whole || bytes.empty() || (bytes[0] == '"') != quoted)
        return;

    const size_t endLength = std::strlen(lineEnd);
    size_t start = 0;
    for (int32_t line = 0; start < bytes.size(); ++line) {
        const size_t found = bytes.find(lineEnd, start);
        const size_t end = found == std::string::npos ? bytes.size() : found + endLength;
        if (line >= nHeaderLines) {
            // Only lines whose code the writer put first (digits, then a
            // separator) are stock lines; a cut last line is not one.
            const std::string text = bytes.substr(start, end - start);
            const size_t digits = text.find_first_not_of("0123456789");
            if (found != std::string::npos && digits > 0 && digits != std::string::npos &&
                (text[digits] == ',' || text[digits] == '\t')) {
                m_lines.push_back({atoiClamped(text.c_str()), text, true});
                ++m_nLeft;
            }
        }
        start = end;
    }
}

void CEarlierDayFile::Drop(int32_t code) {
    for (Line& line : m_lines) {
        if (line.left && line.code == code) {
            line.left = false;
            --m_nLeft;
        }
    }
}

void CEarlierDayFile::Write(FILE* file, Line& line) {
    std::fwrite(line.text.data(), 1, line.text.size(), file);
    line.left = false;
    --m_nLeft;
}

void CEarlierDayFile::WriteLines(FILE* file, int32_t code) {
    for (Line& line : m_lines)
        if (line.left && line.code == code)
            Write(file, line);
}

void CEarlierDayFile::WriteRest(FILE* file) {
    for (Line& line : m_lines)
        if (line.left)
            Write(file, line);
}
