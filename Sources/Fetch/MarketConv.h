// The market code table read from "market.csv": local code (row number),
// fetch code, DS code and market name.
#pragma once

#include <cstdint>

class CMarketConv {
public:
    struct Entry {
        char fetchCode[4];
        int32_t dsCode;
        char marketName[32]; // Shift-JIS, with the blank that follows the comma
    };

    CMarketConv() = default;
    virtual ~CMarketConv();
    CMarketConv(const CMarketConv&) = delete;
    CMarketConv& operator=(const CMarketConv&) = delete;

    // 1 when a table was read, 0 when market.csv is missing or empty. Every line
    // is a row: "DS code, fetch code, name"; a fetch code is cut to 3 bytes, a
    // name to 31, and fields that do not scan stay empty (DS code 0).
    int32_t LoadMarketCsv(const char* path = "market.csv");

    int32_t nEntries() const { return m_nEntries; }
    // nEntries() when no entry has that fetch code.
    int32_t FetchCodeToLocalCode(const char* fetchCode) const;
    // out needs 4 bytes; "X" outside the table.
    void LocalCodeToFetchCode(int32_t localCode, char* out) const;
    // out needs 32 bytes; "その他市場" (Shift-JIS) outside the table.
    void LocalCodeToMarketName(int32_t localCode, char* out) const;
    int32_t MarketNameToLocalCode(const char* name) const;
    int32_t LocalCodeToDSCode(int32_t localCode) const;
    // out needs 4 bytes; "X" when no entry has that DS code.
    void DSCodeToFetchCode(int32_t dsCode, char* out) const;

private:
    bool Contains(int32_t localCode) const { return localCode >= 0 && localCode < m_nEntries; }

    int32_t m_nEntries = 0;
    Entry* m_entries = nullptr;
};
