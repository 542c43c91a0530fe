// Walking the rows and cells of an HTML table held in a byte buffer. A row runs
// from "<tr" to the ">" of the next "</tr>", a cell from "<td" to the ">" of the
// next "</td>". Every search stays inside the length it is given.
#pragma once

#include <cstdint>

// Index of the first occurrence of pattern in text[from, length), or -1.
int32_t FindInRange(const char* text, int32_t length, int32_t from, const char* pattern);

// Finds the next row at or after *pos. Sets *rowStart and returns the row's
// length, moving *pos past the row; returns 0 when no complete row is left.
// Rows of no positive length (a "</tr>" before the "<tr") are passed over.
int32_t NextTableRow(const char* text, int32_t length, int32_t* pos, int32_t* rowStart);

// Finds the next cell of a row at or after *pos. Sets *cellStart and
// *cellLength (a cell without "</td>" runs to the row's end) and moves *pos past
// the cell; false when no "<td" begins before the row's end.
bool NextTableCell(const char* row, int32_t rowLength, int32_t* pos, int32_t* cellStart,
                   int32_t* cellLength);

// The cell's text outside "<" ... ">" tags: at most the first min(length, 1024)
// bytes are looked at, a zero byte ends them, at most outSize - 1 bytes are
// kept and the output is always terminated. Returns 1.
int32_t ExtractCellText(const char* cell, int32_t length, char* out, int32_t outSize);
