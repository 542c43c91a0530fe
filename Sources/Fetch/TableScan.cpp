#include "TableScan.h"

#include <cstring>

int32_t FindInRange(const char* text, int32_t length, int32_t from, const char* pattern) {
    const int32_t n = int32_t(strlen(pattern));
    for (int32_t i = from < 0 ? 0 : from; i + n <= length; ++i) {
        // Jump to the next byte that can begin the pattern; the rest is compared only there.
        const void* first = memchr(text + i, pattern[0], size_t(length - n - i + 1));
        if (first == nullptr) {
            return -1;
        }
        i = int32_t(static_cast<const char*>(first) - text);
        if (memcmp(text + i + 1, pattern + 1, size_t(n - 1)) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t NextTableRow(const char* text, int32_t length, int32_t* pos, int32_t* rowStart) {
    const int32_t start = FindInRange(text, length, *pos, "<tr");
    if (start < 0) {
        return 0;
    }
    // "</tr>" cannot begin inside the "<tr", so the first one after it ends the row.
    const int32_t close = FindInRange(text, length, start + 3, "</tr>");
    if (close < 0) {
        return 0;
    }
    const int32_t end = close + 4; // the ">" of "</tr>"
    *pos = end + 1;
    *rowStart = start;
    return end - start + 1;
}

bool CTableCells::Next(int32_t* cellStart, int32_t* cellLength) {
    if (m_pos >= m_length) {
        return false;
    }
    if (m_nextStart < m_pos) {
        m_nextStart = FindInRange(m_row, m_length, m_pos, "<td");
    }
    if (m_nextStart < 0) {
        return false;
    }
    const int32_t close = FindInRange(m_row, m_length, m_pos, "</td>");
    const int32_t end = close < 0 ? m_length - 1 : close + 4;
    *cellStart = m_nextStart;
    *cellLength = end - m_nextStart + 1;
    m_pos = end + 1;
    return true;
}

int32_t ExtractCellText(const char* cell, int32_t length, char* out, int32_t outSize) {
    const int32_t limit = length < 1024 ? length : 1024;
    int32_t kept = 0;
    bool inTag = false;
    for (int32_t i = 0; i < limit && cell[i] != '\0'; ++i) {
        const char c = cell[i];
        if (c == '<') {
            inTag = true;
        } else if (inTag) {
            inTag = c != '>';
        } else if (kept < outSize - 1) {
            out[kept++] = c;
        }
    }
    if (outSize > 0) {
        out[kept] = '\0';
    }
    return 1;
}
