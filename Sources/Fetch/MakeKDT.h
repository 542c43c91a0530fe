// One run of the historical series job: the stock, the rows wanted and the
// pages that request them; writes the stock's file "KD%04d.KDT".
#pragma once

#include "KDTPageData.h"
#include "QuoteCode.h"

#include <cstdint>
#include <string>
#include <vector>

class CMakeKDT {
public:
    // Far more than the service's history holds (it starts in 1983).
    static constexpr int32_t kMaxRowsWanted = 100000;

    // Null when the code text may be sent to the service (CheckQuoteCode)
    // and the code read as atoi reads it is at least 1, as it names the
    // stock's file; else why not (English).
    static const char* CheckCode(const char* codeText, int32_t* code);
    // Null when a run may be made of these values, else why not (English).
    static const char* CheckRequest(const char* codeText, int32_t rowsWanted);
    // The two texts of the code entry: the code and the row count read as
    // atoi reads them. Null when a run may start (code at least 1 and
    // CheckRequest content), else why not (English).
    static const char* CheckEntry(const char* codeText, const char* rowsText, int32_t* code,
                                  int32_t* rowsWanted);

    // A request that CheckRequest refuses gives a run without pages.
    CMakeKDT(const char* codeText, int32_t code, int32_t rowsWanted);
    ~CMakeKDT();
    CMakeKDT(const CMakeKDT&) = delete;
    CMakeKDT& operator=(const CMakeKDT&) = delete;

    int32_t InitFetchData();
    int32_t getCode() const { return code; }
    int32_t nPages() const { return pageCount; }
    CKDTPageData* getPage(int32_t i) const { return pages[i]; }
    const char* getURL(int32_t i) const { return pages[i]->getURL(); }
    const char* getWebTemp(int32_t i) const { return pages[i]->getWebTemp(); }

    // The newest day (yyyymmdd) the stock's file already holds; 0, the
    // default, for none. The pages need go no further back than that day.
    void setKnownDay(int32_t dateKey) { knownDay = dateKey; }
    // Whether page i, read, reaches back to the known day: the pages after it
    // hold only days the file has.
    bool ReachesKnownDay(int32_t i) const;
    // The rows of the pages read, oldest first.
    std::vector<KDT> Rows() const;

    // "KD%04d.KDT" of the code.
    std::string FileName() const;
    // Writes FileName() into folder, oldest day first, and stamps it 'KDT ' /
    // 'TSLD'. Returns the number of records written; 0 when no page holds a row
    // (an existing file is then kept), -1 when the file could not be written.
    int32_t Save(const std::string& folder) const;

private:
    char codeText[kMaxQuoteCode + 1] = {};
    int32_t code;
    int32_t rowsWanted;
    int32_t pageCount = 0;
    CKDTPageData** pages = nullptr;
    int32_t knownDay = 0;
};
