#include "PageData.h"

#include "MarketConv.h"
#include "PageBuffer.h"
#include "Preferences.h"
#include "QuoteServers.h"
#include "TableScan.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>

namespace {

// The first six characters of "一致する銘柄はありません" (no stock matches) in
// Shift-JIS: the server's answer for a code it does not know.
constexpr char kNoSuchStock[] = "\x88\xea\x92\x76\x82\xb7\x82\xe9\x96\xc1\x95\xbf";
constexpr size_t kNoSuchStockLength = sizeof kNoSuchStock - 1;
static_assert(kNoSuchStockLength == 12, "six double-byte characters");

// Room for "%.0f" of any finite double.
constexpr size_t kWholeTextSize = 320;

// The market table, or an empty one that answers every lookup with its fall-back.
const CMarketConv& Markets() {
    static const CMarketConv s_noMarkets;
    return g_marketConv != nullptr ? *g_marketConv : s_noMarkets;
}

// Copies at most max bytes of source and terminates destination (max + 1 bytes).
void CopyText(char* destination, const char* source, size_t max) {
    const size_t length = strnlen(source, max);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}

// Page figures are untrusted: NaN and infinities ("nan", "inf", "1e999") count as 0.
double Finite(double value) {
    return std::isfinite(value) ? value : 0.0;
}

// atof after the thousands separators are removed.
double ReadNumber(char* text) {
    RemoveComma(text);
    return Finite(std::strtod(text, nullptr));
}

// The date cell "%d/%d": month and day when both lie in range.
void ReadMonthDay(const char* text, CTesselRec* record) {
    char* end = nullptr;
    const long month = std::strtol(text, &end, 10);
    if (end == text || *end != '/')
        return;
    const char* dayText = end + 1;
    const long day = std::strtol(dayText, &end, 10);
    if (end == dayText)
        return;
    if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        record->month = int32_t(month);
        record->day = int32_t(day);
    }
}

bool HasFraction(double value) {
    return value - std::trunc(value) > 0.001;
}

// A price or volume truncated toward zero, as "%d" prints it within the 32-bit
// range and as its exact integer beyond it.
const char* WholeText(double value, char (&text)[kWholeTextSize]) {
    const double whole = std::trunc(Finite(value));
    if (whole >= double(INT32_MIN) && whole <= double(INT32_MAX))
        std::snprintf(text, sizeof text, "%d", int32_t(whole));
    else
        std::snprintf(text, sizeof text, "%.0f", whole);
    return text;
}

// The price in single precision, as the decimal layouts print it.
double SinglePrecision(double value) {
    value = Finite(value);
    return std::fabs(value) <= double(FLT_MAX) ? double(float(value)) : value;
}

} // namespace

// ---------------------------------------------------------------------------
// CTesselRec

void CTesselRec::Write(FILE* file, int32_t layout) const {
    if (!HasQuote())
        return;
    const bool decimals =
        g_Preferences != nullptr && g_Preferences->decimalPrices == 1 &&
        (HasFraction(close) || HasFraction(low) || HasFraction(high) || HasFraction(open));
    double prices[4] = {close, close, close, close};
    if (open > 0 && high > 0 && low > 0) {
        prices[0] = open;
        prices[1] = high;
        prices[2] = low;
    }
    const CMarketConv& markets = Markets();
    char whole[5][kWholeTextSize];
    for (int32_t i = 0; i < 4; ++i)
        WholeText(prices[i], whole[i]);
    WholeText(volume, whole[4]);
    const double o = SinglePrecision(prices[0]), h = SinglePrecision(prices[1]),
                 l = SinglePrecision(prices[2]), c = SinglePrecision(prices[3]);

    if (layout == kDSLayoutFixed) {
        const int32_t dsCode = markets.LocalCodeToDSCode(market);
        if (decimals)
            std::fprintf(file, "%04d,%01d,%-12.12s,%7.2f,%7.2f,%7.2f,%7.2f,%10.f\n\r", code, dsCode,
                         name, o, h, l, c, Finite(volume));
        else
            std::fprintf(file, "%04d,%01d,%-12.12s,%7s,%7s,%7s,%7s,%10.f\n\r", code, dsCode, name,
                         whole[0], whole[1], whole[2], whole[3], Finite(volume));
    } else if (layout == kDSLayoutTab) {
        char marketName[32];
        markets.LocalCodeToMarketName(market, marketName);
        if (decimals)
            std::fprintf(file, "%04d\t\"%s\"\t\"%s\"\t%.2f\t%.2f\t%.2f\t%.2f\t%s\n", code,
                         marketName, name, o, h, l, c, whole[4]);
        else
            std::fprintf(file, "%04d\t\"%s\"\t\"%s\"\t%s\t%s\t%s\t%s\t%s\n", code, marketName, name,
                         whole[0], whole[1], whole[2], whole[3], whole[4]);
    } else if (decimals) {
        // The decimal variant of layout 0 carries the local market code, the
        // integer variant the DS code: chart programs read both as they are.
        std::fprintf(file, "%04d,%d,%s,%.2f,%.2f,%.2f,%.2f,%s\n", code, market, name, o, h, l, c,
                     whole[4]);
    } else {
        std::fprintf(file, "%04d,%d,%s,%s,%s,%s,%s,%s\n", code, markets.LocalCodeToDSCode(market),
                     name, whole[0], whole[1], whole[2], whole[3], whole[4]);
    }
}

void CTesselRec::WriteFinanceData(FILE* file) const {
    if (!HasFinance())
        return;
    std::fprintf(file, "%04d,%d,%s,%.2f,%.2f,%.2f,%.2f,%.2f\n", code, market, name,
                 Finite(finance[0]), Finite(finance[1]), Finite(finance[2]), Finite(finance[3]),
                 Finite(finance[4]));
}

std::string CTesselRec::RequestCode() const {
    char fetchCode[4];
    Markets().LocalCodeToFetchCode(market, fetchCode);
    std::string code = quoteCode;
    if (fetchCode[0] == 'O')
        code += ".O";
    else if (fetchCode[0] == 'N')
        code += ".N";
    return code;
}

// ---------------------------------------------------------------------------
// CPageData

CPageData::CPageData(int32_t pageIndex) : m_pageIndex(pageIndex) {
    std::snprintf(m_webTemp, sizeof m_webTemp, "webtemp-%03d.html", pageIndex);
}

void CPageData::setCode(int32_t slot, const char* quoteCode, int32_t code, const char* fetchCode,
                        const char* name) {
    if (slot < 0 || slot >= kSlots)
        return;
    CTesselRec& record = m_records[slot];
    CopyText(record.quoteCode, quoteCode, kMaxQuoteCode);
    record.code = code;
    CopyText(record.name, name, CTesselRec::kNameSize - 1);
    if (std::strlen(record.name) < std::strlen(name))
        CutWText(record.name, 30); // never end inside a double-byte character
    char market[kMaxFetchCode + 1];
    CopyText(market, fetchCode, kMaxFetchCode);
    record.market = Markets().FetchCodeToLocalCode(market);
    if (m_nCodes < slot + 1)
        m_nCodes = slot + 1;
}

void CPageData::MakeFetchURL() {
    std::string codes;
    for (int32_t slot = 0; slot < m_nCodes; ++slot) {
        const CTesselRec& record = m_records[slot];
        if (record.quoteCode[0] == '\0')
            continue; // a fetch-list line without a code asks for nothing
        codes += record.RequestCode() + '+';
    }
    if (!codes.empty())
        codes.pop_back();
    const std::string base = "http://" + QuoteHost() + "/q?s=" + codes;
    m_url = base + "&d=v2";
    m_financeUrl = base + "&d=v3";
}

int32_t CPageData::getCodeByIndex(int32_t code) const {
    for (int32_t slot = 0; slot < kSlots; ++slot) {
        if (m_records[slot].code == code)
            return slot;
    }
    return -1;
}

void CPageData::getDate(int32_t& year, int32_t& month, int32_t& day, std::time_t now) const {
    std::tm local{};
    localtime_r(&now, &local);
    year = local.tm_year + 1900;
    if (!hasDate()) {
        month = local.tm_mon + 1;
        day = local.tm_mday;
        return;
    }
    month = m_month;
    day = m_day;
    // No quotes are dated in the future, so a later day of this year is one of
    // last year. Tomorrow still counts as this year's: the service's date runs
    // ahead of a clock west of Japan. On 31 December every day of this year
    // has come.
    std::tm tomorrow{};
    tomorrow.tm_year = local.tm_year;
    tomorrow.tm_mon = local.tm_mon;
    tomorrow.tm_mday = local.tm_mday + 1;
    tomorrow.tm_hour = 12;
    timegm(&tomorrow); // normalises the day into the next month or year
    const bool afterTomorrow =
        month > tomorrow.tm_mon + 1 || (month == tomorrow.tm_mon + 1 && day > tomorrow.tm_mday);
    if (tomorrow.tm_year == local.tm_year && afterTomorrow)
        --year;
}

void CPageData::ClearQuotes() {
    for (CTesselRec& record : m_records) {
        record.valid = 0;
        record.month = record.day = 0;
        record.open = record.high = record.low = record.close = record.volume = 0;
    }
    m_nExtracted = 0;
    m_month = m_day = 0;
}

void CPageData::ClearFinance() {
    for (CTesselRec& record : m_records)
        std::fill(std::begin(record.finance), std::end(record.finance), 0.0);
}

// Rows are matched to slots strictly in order: a row that is not the current
// slot's quote row (headings, menus) is skipped and the slot waits for the next.
void CPageData::ExtractData(const char* path, CPageData* page) {
    if (page == nullptr)
        return;
    const int32_t length = ReadPageFile(path);
    if (length >= 0)
        ExtractPage(s_buff, length, page);
}

void CPageData::ExtractPage(const char* text, int32_t length, CPageData* page) {
    // A row the page lacks must not keep the quote of an earlier read.
    page->ClearQuotes();
    int32_t position = 0;
    int32_t slot = 0;
    int32_t good = 0;
    while (slot < page->m_nCodes) {
        CTesselRec& record = page->m_records[slot];
        if (record.quoteCode[0] == '\0') {
            ++slot; // the URL did not ask for this slot: no row will come
            continue;
        }
        int32_t rowStart = 0;
        const int32_t rowLength = NextTableRow(text, length, &position, &rowStart);
        if (rowLength == 0)
            break; // no complete row left
        if (ExtractTR(text + rowStart, rowLength, &record) == 1) {
            if (record.valid && record.code > 0 && record.close > 0)
                ++good;
            else
                WriteLog(page->m_pageIndex, record.code, record.name);
            ++slot;
        }
    }
    page->m_nExtracted = good;
    page->m_month = page->m_records[0].month;
    page->m_day = page->m_records[0].day;
}

int32_t CPageData::ExtractTR(const char* row, int32_t length, CTesselRec* record) {
    if (length <= 0)
        return 0;
    char cell[kCellBufferSize];
    int32_t result = 0;
    CTableCells cells(row, length);
    int32_t cellStart = 0;
    int32_t cellLength = 0;
    // Cells past the tenth carry nothing this page needs.
    for (int32_t cellNumber = 0; cellNumber < 10 && cells.Next(&cellStart, &cellLength);
         ++cellNumber) {
        ExtractTD(row + cellStart, cellLength, cell);

        switch (cellNumber) {
        case 0: { // the quote code
            char token[32] = {};
            if (std::strlen(cell) > 30)
                std::memcpy(token, cell, 31);
            else
                std::sscanf(cell, "%31s", token);
            // A code with its market suffix ("6758.O") belongs to the slot as it is.
            const bool suffixed = token[4] == '.' && (token[5] == 'O' || token[5] == 'N');
            if (!suffixed && std::strcmp(token, record->quoteCode) != 0)
                return 0;
            record->valid = 1;
            break;
        }
        case 1: { // the name: the server's answer for an unknown code clears valid
            char name[kCellBufferSize];
            euc2sjis(cell, name);
            if (std::strncmp(name, kNoSuchStock, kNoSuchStockLength) == 0)
                record->valid = 0;
            result = 1;
            break;
        }
        case 2: // the date, or a time of day
            if (std::strchr(cell, '/') != nullptr)
                ReadMonthDay(cell, record);
            break;
        case 3: { // the price; a sign before the figure is stripped on a second read
            double price = ReadNumber(cell);
            if (price == 0) {
                RemoveKanji(cell);
                price = Finite(std::strtod(cell, nullptr));
            }
            record->close = price;
            break;
        }
        case 6:
            record->volume = ReadNumber(cell);
            break;
        case 7:
            record->open = ReadNumber(cell);
            break;
        case 8:
            record->high = ReadNumber(cell);
            break;
        case 9:
            record->low = ReadNumber(cell);
            break;
        default:
            break;
        }
    }
    return result;
}

int32_t CPageData::ExtractTD(const char* cell, int32_t length, char* text) {
    return ExtractCellText(cell, length, text, kMaxCellText + 1);
}

void CPageData::WriteLog(int32_t page, int32_t code, const char* name, const char* reason) {
    const std::string path = g_startupPath + "/ERRORLOG.TXT";
    FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr)
        return;
    if (reason != nullptr)
        std::fprintf(file, "page=%d code=%d name=%s reason=%s\n", page, code, name, reason);
    else
        std::fprintf(file, "page=%d code=%d name=%s\n", page, code, name);
    std::fclose(file);
}

int32_t CPageData::LogFailure(const char* reason) const {
    int32_t n = 0;
    for (int32_t slot = 0; slot < m_nCodes; ++slot) {
        const CTesselRec& record = m_records[slot];
        if (record.quoteCode[0] == '\0')
            continue; // not asked for
        WriteLog(m_pageIndex, record.code, record.name, reason);
        ++n;
    }
    return n;
}
