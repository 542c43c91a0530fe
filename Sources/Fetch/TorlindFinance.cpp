// The finance view of a quote page: one row of ten cells per stock.
#include "TorlindUtil.h"

#include "PageData.h"
#include "TableScan.h"
#include "misclib.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int32_t CTorlindUtil::ExtractTR(const char* row, int32_t length, FINANCE* record) {
    char cell[256];
    char text[256];
    int32_t cellCount = 0;
    CTableCells cells(row, length);
    int32_t cellStart;
    int32_t cellLength;
    while (cellCount < 10 && cells.Next(&cellStart, &cellLength)) {
        ExtractTD(row + cellStart, cellLength, cell, sizeof cell);
        switch (cellCount) {
        case 0:
            memset(record, 0, sizeof *record);
            record->code = atoiClamped(cell);
            if (record->code < 1000 || record->code > 9999) {
                return -1;
            }
            break;
        case 2:
            euc2sjis(cell, text);
            // Cut at a byte, not at a character; the record was cleared at cell 0.
            memcpy(record->name, text, strnlen(text, sizeof record->name - 1));
            break;
        case 5:
            RemoveKanji(cell);
            RemoveComma(cell);
            record->value[0] = atoiClamped(cell);
            break;
        case 6:
        case 7:
        case 8:
        case 9:
            RemoveKanji(cell);
            record->value[cellCount - 5] = atof(cell);
            break;
        default: // the market and two price cells are not kept
            break;
        }
        ++cellCount;
    }
    return cellCount == 10 ? 0 : -1;
}

int32_t CTorlindUtil::ExtractFinance(const char* path, CPageData* page) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return -1;
    }
    std::vector<char> buffer(kFinancePageSize, '\0');
    const size_t got = fread(buffer.data(), 1, kFinancePageSize - 1, file);
    fclose(file);
    return ExtractFinancePage(buffer.data(), int32_t(strnlen(buffer.data(), got)), page);
}

int32_t CTorlindUtil::ExtractFinancePage(const char* text, int32_t length, CPageData* page) {
    // A stock the page lacks must not keep the values of an earlier read.
    page->ClearFinance();
    // Counted per record, so that a stock listed twice counts once.
    bool received[CPageData::kSlots] = {};
    FINANCE finance;
    int32_t pos = 0;
    int32_t rowStart = 0;
    int32_t rowLength;
    while ((rowLength = NextTableRow(text, length, &pos, &rowStart)) > 0) {
        if (ExtractTR(text + rowStart, rowLength, &finance) != 0) {
            continue;
        }
        const int32_t slot = page->getCodeByIndex(finance.code);
        if (slot < 0) {
            continue;
        }
        // Only the values: the record keeps the market the fetch list gave it.
        CTesselRec* rec = page->getTesselRec(slot);
        memcpy(rec->finance, finance.value, sizeof finance.value);
        received[slot] = rec->HasFinance();
    }
    int32_t count = 0;
    for (bool r : received) {
        count += r ? 1 : 0;
    }
    return count;
}
