// Walking the rows and cells of an HTML table held in a byte buffer. A row runs
// from "<tr" to the ">" of the next "</tr>", a cell from "<td" to the ">" of the
// next "</td>". Every search stays inside the length it is given, and every walk
// moves forward only, so a page costs time in proportion to its length whatever
// it holds.
#pragma once

#include <cstdint>

// Index of the first occurrence of pattern (not empty) in text[from, length), or -1.
int32_t FindInRange(const char* text, int32_t length, int32_t from, const char* pattern);

// Finds the next row at or after *pos. Sets *rowStart and returns the row's
// length, moving *pos past the row; returns 0 when no complete row is left.
// A "</tr>" before the row's "<tr" closes no row and is passed over.
int32_t NextTableRow(const char* text, int32_t length, int32_t* pos, int32_t* rowStart);

// The cells of one row, in order. A cell begins at the next "<td" and ends at
// the ">" of the first "</td>" after the end of the cell before it; a cell
// without "</td>" runs to the row's end, and a stray "</td>" before the next
// "<td" gives a cell of no positive length (no text).
class CTableCells {
public:
    CTableCells(const char* row, int32_t rowLength) : m_row(row), m_length(rowLength) {}

    // Sets the next cell's start and length; false when no "<td" begins before
    // the row's end.
    bool Next(int32_t* cellStart, int32_t* cellLength);

private:
    const char* m_row;
    int32_t m_length;
    int32_t m_pos = 0;
    // The first "<td" at or after m_pos once it has been found: stray "</td>"s
    // before it move m_pos but not this, so it is never searched for twice.
    int32_t m_nextStart = -1;
};

// The cell's text outside "<" ... ">" tags: at most the first min(length, 1024)
// bytes are looked at, a zero byte ends them, at most outSize - 1 bytes are
// kept and the output is always terminated. Returns 1.
int32_t ExtractCellText(const char* cell, int32_t length, char* out, int32_t outSize);
