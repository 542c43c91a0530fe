#include "TorlindUtil.h"

#include "MarketConv.h"
#include "TableScan.h"
#include "VezizoMain.h"
#include "futil.h"
#include "misclib.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

void CTorlindUtil::CreateWorkDir() {
    // The folders lie in the webtemp folder only, never in whatever is current.
    if (g_webtempPath.empty()) {
        return;
    }
    for (int32_t i = 1; i <= 9; ++i) {
        char name[32];
        snprintf(name, sizeof name, "/fundamental/%04d", i * 1000);
        CreateFolderPath(g_webtempPath + name);
    }
}

int32_t CTorlindUtil::ExtractTD(const char* cell, int32_t length, char* out, int32_t outSize) {
    return ExtractCellText(cell, length, out, outSize);
}

int32_t CTorlindUtil::ExtractText(const char* text, const char* start, const char* end, char* out,
                                  int32_t size) {
    const int32_t at = findstr(text, start);
    if (at == 0) {
        return 0;
    }
    const char* from = text + at - 1 + strlen(start);
    const int32_t to = findstr(from, end);
    if (to == 0) {
        return 0;
    }
    int32_t n = to; // the bytes between the markers, plus one
    if (n >= size) {
        n = size;
    }
    memcpy(out, from, size_t(n - 1));
    out[n - 1] = '\0';
    return n - 1;
}

// Reads at most CTorlindUtil::kMaxProfilePage bytes of the file, terminated;
// false when the file cannot be opened.
static bool ReadProfilePage(const char* path, std::vector<char>* page) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    long size = 0;
    if (fseek(file, 0, SEEK_END) == 0) {
        size = ftell(file);
    }
    if (size < 0) {
        size = 0;
    }
    if (size > CTorlindUtil::kMaxProfilePage) {
        size = CTorlindUtil::kMaxProfilePage;
    }
    rewind(file);
    page->assign(size_t(size) + 1, '\0');
    const size_t got = fread(page->data(), 1, size_t(size), file);
    (*page)[got] = '\0';
    fclose(file);
    return true;
}

int32_t CTorlindUtil::ExtractFundamental(const char* path, FUNDAMENTAL* record) {
    std::vector<char> raw;
    if (!ReadProfilePage(path, &raw)) {
        memset(record, 0, sizeof *record);
        return -1;
    }
    return ExtractFundamentalPage(raw.data(), record);
}

int32_t CTorlindUtil::ExtractFundamentalPage(const char* raw, FUNDAMENTAL* record) {
    // Markers in Shift-JIS; every text ends at the upper-case "</TD>".
    static const char kCategoryMark[] =
        "\x81\x79\x8B\xC6\x8E\xED\x95\xAA\x97\xDE\x81\x7A"; // 【業種分類】
    static const char kMarketMark[] = "\x81\x79\x8E\x73\x8F\xEA\x96\xBC\x81\x7A"; // 【市場名】
    static const char kFeatureMark[] = "\x81\x79\x93\xC1\x90\x46\x81\x7A";        // 【特色】
    static const char kBusinessMark[] = "\x8E\x96\x8B\xC6\x81\x7A";               // 事業】
    static const char kFundsMark[] = "\x8E\x91\x8B\xE0\x81\x7A";                  // 資金】
    static const char kEnd[] = "</TD>";

    memset(record, 0, sizeof *record);
    std::vector<char> text(strlen(raw) + 1);
    euc2sjis(raw, text.data());
    const char* page = text.data();

    // Each text is looked for only when the one before it was found.
    if (ExtractText(page, kCategoryMark, kEnd, record->category, sizeof record->category - 1) > 0 &&
        ExtractText(page, kMarketMark, kEnd, record->market, sizeof record->market - 1) > 0 &&
        ExtractText(page, kFeatureMark, kEnd, record->feature, sizeof record->feature - 1) > 0 &&
        ExtractText(page, kBusinessMark, kEnd, record->business, sizeof record->business - 1) ==
            0) {
        ExtractText(page, kFundsMark, kEnd, record->business, sizeof record->business - 1);
    }
    return 0;
}

int32_t CTorlindUtil::MarketCode(const char* marketName) {
    if (g_marketConv == nullptr) {
        return 0;
    }
    return g_marketConv->LocalCodeToDSCode(g_marketConv->MarketNameToLocalCode(marketName));
}
