#include "MakeKDT.h"

#include "KDTFile.h"
#include "misclib.h"

#include <cstring>

const char* CMakeKDT::CheckCode(const char* codeText, int32_t* code) {
    *code = atoiClamped(codeText);
    if (const char* refusal = CheckQuoteCode(codeText)) {
        return refusal;
    }
    if (*code < 1) {
        return "a stock code begins with a number of at least 1";
    }
    return nullptr;
}

const char* CMakeKDT::CheckRequest(const char* codeText, int32_t rowsWanted) {
    if (const char* refusal = CheckQuoteCode(codeText)) {
        return refusal;
    }
    if (rowsWanted <= 0) {
        return "the number of rows must be above 0";
    }
    if (rowsWanted > kMaxRowsWanted) {
        return "at most 100000 rows can be asked for";
    }
    return nullptr;
}

const char* CMakeKDT::CheckEntry(const char* codeText, const char* rowsText, int32_t* code,
                                 int32_t* rowsWanted) {
    *rowsWanted = atoiClamped(rowsText);
    if (const char* refusal = CheckCode(codeText, code)) {
        return refusal;
    }
    return CheckRequest(codeText, *rowsWanted);
}

CMakeKDT::CMakeKDT(const char* text, int32_t code, int32_t rowsWanted)
    : code(code), rowsWanted(rowsWanted) {
    if (CheckRequest(text, rowsWanted) == nullptr) {
        strcpy(codeText, text);
        InitFetchData();
    }
}

CMakeKDT::~CMakeKDT() {
    for (int32_t i = 0; i < pageCount; ++i) {
        delete pages[i];
    }
    delete[] pages;
}

int32_t CMakeKDT::InitFetchData() {
    pageCount = rowsWanted / CKDTPageData::kRowCapacity +
                (rowsWanted % CKDTPageData::kRowCapacity != 0 ? 1 : 0);
    pages = new CKDTPageData*[size_t(pageCount)];
    for (int32_t i = 0; i < pageCount; ++i) {
        pages[i] = new CKDTPageData(codeText, code, i);
    }
    return 0;
}

std::string CMakeKDT::FileName() const {
    return KDTFileName(code);
}

bool CMakeKDT::ReachesKnownDay(int32_t i) const {
    const CKDTPageData* page = pages[i];
    // The service lists the newest day first: the last row is the oldest.
    return knownDay > 0 && page->nRows() > 0 &&
           KDTDateKey(page->getRow(page->nRows() - 1)) <= knownDay;
}

std::vector<KDT> CMakeKDT::Rows() const {
    std::vector<KDT> rows;
    for (int32_t i = pageCount - 1; i >= 0; --i) {
        for (int32_t slot = pages[i]->nRows() - 1; slot >= 0; --slot) {
            rows.push_back(pages[i]->getRow(slot));
        }
    }
    return rows;
}

int32_t CMakeKDT::Save(const std::string& folder) const {
    const std::vector<KDT> rows = Rows();
    // A run that found nothing (the first page failed) must not wipe out the
    // file of an earlier run.
    if (rows.empty()) {
        return 0;
    }
    return WriteKDTFile(folder, code, rows);
}
