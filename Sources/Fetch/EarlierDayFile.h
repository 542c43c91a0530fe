// The stock lines of a daily or finance file that a run of the same day is
// about to replace, so that the new file keeps every stock the run lacks: a
// page that failed never takes away a stock an earlier run had.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class CEarlierDayFile {
public:
    // The largest file read; a bigger one is not taken for a day's file.
    static constexpr long kMaxFileSize = 16 * 1024 * 1024;

    // Reads the file at path: nHeaderLines header lines, then one line per
    // stock beginning with its code, every line ending in lineEnd. quoted says
    // whether the file's first byte is '"', as the layout being written has it;
    // a missing file, or one of another layout, has no lines.
    CEarlierDayFile(const std::string& path, int32_t nHeaderLines, const char* lineEnd,
                    bool quoted);

    // The run writes its own line for code: the earlier ones go.
    void Drop(int32_t code);
    // Lines still to be written.
    int32_t nLines() const { return m_nLeft; }
    // Writes the earlier lines of code that are left, with their line ends.
    void WriteLines(FILE* file, int32_t code);
    // Writes every line left, in the earlier file's order.
    void WriteRest(FILE* file);

private:
    struct Line {
        int32_t code;
        std::string text; // with its line end
        bool left;
    };
    void Write(FILE* file, Line& line);

    std::vector<Line> m_lines;
    int32_t m_nLeft = 0;
};
