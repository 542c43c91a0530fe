#include "QuotesCommand.h"

#include "CommandLine.h"
#include "Fetch/FetchData.h"
#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// The list's columns in the order they are printed, each with the sort key
// that names it on the command line and the width it is printed in
// (negative: left-aligned).
struct QuoteColumn {
    const char* key;
    int width;
};
const QuoteColumn s_columns[] = {{"name", -36}, {"mark", -4}, {"cv1", 9}, {"cv2", 9},
                                 {"cv3", 9},    {"cv4", 9},   {"cvc", 12}};

// The column's property code: the key padded with blanks to four bytes.
DataBrowserPropertyID PropertyOf(const char* key) {
    char code[5] = "    ";
    std::memcpy(code, key, std::strlen(key) < 4 ? std::strlen(key) : 4);
    return CommandFromText(code);
}

bool IsSortKey(const std::string& key) {
    for (const QuoteColumn& column : s_columns)
        if (key == column.key)
            return true;
    return false;
}

// Terminal columns a UTF-8 text takes: two for a wide (CJK) character, one
// for ASCII and half-width katakana.
int DisplayWidth(const std::string& text) {
    int width = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            width += 1;
            i += 1;
        } else if (lead < 0xE0) {
            width += 1;
            i += 2;
        } else if (lead < 0xF0) {
            // U+FF61..U+FF9F (EF BD A1 .. EF BE 9F) is half-width katakana.
            const bool halfWidth = lead == 0xEF && i + 1 < text.size() &&
                                   (static_cast<unsigned char>(text[i + 1]) == 0xBD ||
                                    static_cast<unsigned char>(text[i + 1]) == 0xBE);
            width += halfWidth ? 1 : 2;
            i += 3;
        } else {
            width += 2;
            i += 4;
        }
    }
    return width;
}

void PrintCell(const std::string& text, int width) {
    const int padding = (width < 0 ? -width : width) - DisplayWidth(text);
    if (width > 0 && padding > 0)
        std::printf("%*s", padding, "");
    std::fputs(text.c_str(), stdout);
    if (width < 0 && padding > 0)
        std::printf("%*s", padding, "");
}

} // namespace

bool QuotesArgumentsValid(const std::vector<std::string>& arguments, std::string& problem) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--descending")
            continue;
        if (arguments[i] != "--sort") {
            problem = "unexpected argument " + arguments[i];
            return false;
        }
        if (i + 1 >= arguments.size()) {
            problem = "--sort needs a key: name, mark, cv1, cv2, cv3, cv4 or cvc";
            return false;
        }
        if (!IsSortKey(arguments[i + 1])) {
            problem = "--sort " + arguments[i + 1] +
                      ": the key is one of name, mark, cv1, cv2, cv3, cv4 and cvc";
            return false;
        }
        ++i;
    }
    return true;
}

int PrintQuoteList(CMetalWindow& window, const std::vector<std::string>& arguments) {
    const char* sortKey = nullptr;
    bool descending = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--descending")
            descending = true;
        else if (arguments[i] == "--sort" && i + 1 < arguments.size())
            sortKey = arguments[++i].c_str();
    }

    ProcessCommand(FourCharCode("disp"));
    // The list shows the stored pages of the last fetch; without them every
    // price would print as 0.
    if (g_fetchData->nExtracted() == 0) {
        std::fprintf(stderr, "vezizo quotes: no quotes have been fetched yet (vezizo fetch gets "
                             "them)\n");
        return kExitFailed;
    }
    ControlRef list = window.quoteListControl();
    // Without a key the rows keep the fetch list's order, which is also the
    // order of the open price column.
    if (sortKey || descending)
        SetDataBrowserSortProperty(list, PropertyOf(sortKey ? sortKey : "cv1"), descending);

    const uint32_t rows = GetDataBrowserItemCount(list);
    for (uint32_t row = 0; row < rows; ++row) {
        const DataBrowserItemID item = GetDataBrowserItemAtRow(list, row);
        for (size_t c = 0; c < std::size(s_columns); ++c) {
            if (c > 0)
                std::fputc(' ', stdout);
            PrintCell(GetDataBrowserCellText(list, item, PropertyOf(s_columns[c].key)),
                      s_columns[c].width);
        }
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
    return kExitDone;
}
