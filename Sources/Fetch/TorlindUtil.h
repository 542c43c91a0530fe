// Parsing of the company profile and finance pages, the profile folders, and
// the lookups from market and industry names to their numbers.
#pragma once

#include <cstdint>

class CPageData;

// One company profile, Shift-JIS texts taken from the profile page.
struct FUNDAMENTAL {
    char feature[256];
    char business[256];
    char category[64];
    char market[64];
};

// One row of a quote page's finance view.
struct FINANCE {
    int32_t code;
    int32_t market;
    char name[32];
    double value[5];
};

class CTorlindUtil {
public:
    // The profile page is read up to this size; real pages are a few dozen KB.
    static constexpr long kMaxProfilePage = 1024 * 1024;
    static constexpr int32_t kFinancePageSize = 81920;

    virtual ~CTorlindUtil() = default;

    // Makes "fundamental" and its folders 1000 .. 9000 in the webtemp folder.
    static void CreateWorkDir();
    static int32_t ExtractTD(const char* cell, int32_t length, char* out, int32_t outSize);
    // The bytes between the first start marker and the next end marker, at most
    // size - 1 of them; returns their count, 0 when a marker is missing.
    static int32_t ExtractText(const char* text, const char* start, const char* end, char* out,
                               int32_t size);
    // Fills the record from the profile page at path (cleared first); -1 when the
    // file cannot be opened, else 0.
    static int32_t ExtractFundamental(const char* path, FUNDAMENTAL* record);
    // The same for a profile page held in page, EUC-JP, ended by a zero byte;
    // returns 0.
    static int32_t ExtractFundamentalPage(const char* page, FUNDAMENTAL* record);
    // One finance row of ten cells; 0 when complete, -1 otherwise.
    static int32_t ExtractTR(const char* row, int32_t length, FINANCE* record);
    // Copies the finance values of the page file at path into the page's daily
    // records; returns how many records received a positive value, -1 when the
    // file cannot be opened.
    static int32_t ExtractFinance(const char* path, CPageData* page);
    // The same for a finance page of length bytes held in text (read no further).
    static int32_t ExtractFinancePage(const char* text, int32_t length, CPageData* page);
    // The DS code of a market name (an empty name gives the first market's).
    static int32_t MarketCode(const char* marketName);
    // The industry category 1..33 the text begins with; 0 when none.
    static int32_t CategoryCode(const char* categoryName);
};
