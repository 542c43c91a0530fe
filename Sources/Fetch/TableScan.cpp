#include "TableScan.h"

#include <cstring>

int32_t FindInRange(const char* text, int32_t length, int32_t from, const char* pattern) {
    const int32_t n = int32_t(strlen(pattern));
    for (int32_t i = from < 0 ? 0 : from; i + n <= length; ++i) {
        if (memcmp(text + i, pattern, size_t(n)) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t NextTableRow(const char* text, int32_t length, int32_t* pos, int32_t* rowStart) {
    for (;;) {
        const int32_t start = FindInRange(text, length, *pos, "<tr");
        const int32_t close = start < 0 ? -1 : FindInRange(text, length, *pos, "</tr>");
        if (close < 0) {
            return 0;
        }
        const int32_t end = close + 4; // the ">" of "</tr>"
        *pos = end + 1;
        if (end - start + 1 > 0) {
            *rowStart = start;
            return end - start + 1;
        }
    }
}

bool NextTableCell(const char* row, int32_t rowLength, int32_t* pos, int32_t* cellStart,
                   int32_t* cellLength) {
    if (*pos >= rowLength) {
        return false;
    }
    const int32_t start = FindInRange(row, rowLength, *pos, "<td");
    if (start < 0) {
        return false;
    }
    const int32_t close = FindInRange(row, rowLength, *pos, "</td>");
    const int32_t end = close < 0 ? rowLength - 1 : close + 4;
    *cellStart = start;
    *cellLength = end - start + 1;
    *pos = end + 1;
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
