#include "FetchListHistories.h"

#include "FetchData.h"
#include "MakeKDT.h"
#include "misclib.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>

namespace {

// yyyymmdd as the days since 1970-01-01, and back.
int64_t DayNumber(int32_t date) {
    std::tm day{};
    day.tm_year = date / 10000 - 1900;
    day.tm_mon = date / 100 % 100 - 1;
    day.tm_mday = date % 100;
    day.tm_hour = 12;
    return int64_t(timegm(&day)) / 86400;
}

int32_t DateOfDayNumber(int64_t number) {
    const time_t seconds = time_t(number * 86400 + 43200);
    std::tm day{};
    gmtime_r(&seconds, &day);
    return (day.tm_year + 1900) * 10000 + (day.tm_mon + 1) * 100 + day.tm_mday;
}

// 1970-01-01 was a Thursday: day number 0 is weekday 4 (Sunday 0).
int32_t WeekdayOf(int64_t number) {
    return int32_t(((number + 4) % 7 + 7) % 7);
}

// The date a daily file's name gives ("DS061225.DAT", "DS200612.25"), 0 for
// none.
int32_t DailyFileDate(const std::string& name) {
    int year = 0, month = 0, day = 0;
    if (name.size() == 12 && std::sscanf(name.c_str(), "DS%2d%2d%2d.DAT", &year, &month, &day) == 3)
        year += 2000;
    else if (name.size() != 11 ||
             std::sscanf(name.c_str(), "DS%4d%2d.%2d", &year, &month, &day) != 3)
        return 0;
    return year * 10000 + month * 100 + day;
}

// The record of a file for one day's quote, as the history page would give it:
// whole yen (a fraction cut off), the volume within 32 bits. A quote without
// its other prices has its close at all four, as the daily file writes it.
KDT DayRow(const CTesselRec& record, int32_t year, int32_t month, int32_t day) {
    KDT row;
    row.year = year;
    row.month = month;
    row.day = day;
    const bool allPrices = record.open > 0 && record.high > 0 && record.low > 0;
    row.open = ClampToInt32(allPrices ? record.open : record.close);
    row.high = ClampToInt32(allPrices ? record.high : record.close);
    row.low = ClampToInt32(allPrices ? record.low : record.close);
    row.close = ClampToInt32(record.close);
    row.volume = std::max(0, ClampToInt32(record.volume));
    return row;
}

// Calls take(record, code) for each record of the list with a history code,
// the first time its code appears; counts the others that have a quote code.
template <typename Take> int32_t ForEachHistoryStock(const CFetchData& fetchData, Take take) {
    std::set<int32_t> seen;
    int32_t nOthers = 0;
    for (int32_t p = 0; p < fetchData.nPages(); ++p) {
        const CPageData* page = fetchData.getPage(p);
        for (int32_t slot = 0; slot < page->nCodes(); ++slot) {
            const CTesselRec& record = *page->getTesselRec(slot);
            const int32_t code = HistoryCodeOf(record);
            if (code == 0)
                nOthers += record.quoteCode[0] != '\0' ? 1 : 0;
            else if (seen.insert(code).second)
                take(record, code);
        }
    }
    return nOthers;
}

// What MergeIntoFile did.
enum class Merged { kWritten, kNothingNew, kNotWritten };

// Merges rows into days, the records of code's file, and rewrites the file
// only when that changed a record: a run that brings nothing new costs no
// write.
Merged MergeIntoFile(const std::string& folder, int32_t code, std::vector<KDT>& days,
                     const std::vector<KDT>& rows) {
    const std::vector<KDT> before = days;
    MergeKDTRows(days, rows);
    if (days == before)
        return Merged::kNothingNew;
    return WriteKDTFile(folder, code, days) < 0 ? Merged::kNotWritten : Merged::kWritten;
}

constexpr char kNotWrittenReason[] = "the file could not be written";

} // namespace

int32_t HistoryCodeOf(const CTesselRec& record) {
    const char* text = record.quoteCode;
    for (int i = 0; i < 4; ++i)
        if (text[i] < '0' || text[i] > '9')
            return 0;
    if (text[4] != '\0')
        return 0;
    const int32_t code = atoiClamped(text);
    return code >= 1000 ? code : 0;
}

int32_t TodayDateKey() {
    const time_t now = time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

int32_t LastWeekday(int32_t date) {
    int64_t number = DayNumber(date);
    while (WeekdayOf(number) == 0 || WeekdayOf(number) == 6)
        --number;
    return DateOfDayNumber(number);
}

int32_t WeekdaysAfter(int32_t from, int32_t to) {
    int32_t count = 0;
    for (int64_t number = DayNumber(from) + 1, last = DayNumber(to); number <= last; ++number)
        count += WeekdayOf(number) != 0 && WeekdayOf(number) != 6 ? 1 : 0;
    return count;
}

int32_t KnownTradingDay(const std::string& folder, int32_t today) {
    const int32_t newest =
        std::max(DailyFileDate(CFetchData::LatestDailyFile(folder, kDSLayoutComma)),
                 DailyFileDate(CFetchData::LatestDailyFile(folder, kDSLayoutFixed)));
    return newest >= LastWeekday(today) ? newest : 0;
}

CFetchListHistories::CFetchListHistories(const CFetchData& fetchData, const std::string& folder,
                                         int32_t rowsWanted, int32_t knownDay, int32_t today)
    : m_folder(folder), m_rowsWanted(rowsWanted), m_knownDay(knownDay), m_today(today) {
    m_nOthers = ForEachHistoryStock(fetchData, [this](const CTesselRec& record, int32_t code) {
        m_stocks.push_back({record.RequestCode(), code});
    });
}

CFetchListHistories::~CFetchListHistories() = default;

const std::string& CFetchListHistories::codeText() const {
    static const std::string s_none;
    return m_index < nStocks() ? m_stocks[size_t(m_index)].codeText : s_none;
}

int32_t CFetchListHistories::code() const {
    return m_index < nStocks() ? m_stocks[size_t(m_index)].code : 0;
}

int32_t CFetchListHistories::StartStock(std::string* reason) {
    if (m_index >= nStocks())
        return kNoStock;
    const Stock& stock = m_stocks[size_t(m_index)];
    const int32_t status = ReadKDTFile(m_folder + "/" + KDTFileName(stock.code), m_days);
    int32_t rowsWanted = m_rowsWanted;
    int32_t newest = 0;
    if (status == kKDTFileRead) {
        for (const KDT& day : m_days)
            newest = std::max(newest, KDTDateKey(day));
        if (m_knownDay > 0 && newest >= m_knownDay)
            return Finish(kUpToDate);
        // Enough pages for every weekday since the file's newest day, and one
        // more; the run stops at the page that reaches that day.
        const int64_t gap = WeekdaysAfter(newest, std::max(m_today, m_knownDay));
        rowsWanted = int32_t(
            std::min<int64_t>(std::max<int64_t>(rowsWanted, gap + CKDTPageData::kRowCapacity),
                              CMakeKDT::kMaxRowsWanted));
    } else if (status != kKDTFileMissing && status != kKDTFileEmpty) {
        // A file this program cannot read is not replaced.
        *reason = KDTFileStatusText(status);
        return Finish(kFailed);
    }
    m_run = std::make_unique<CMakeKDT>(stock.codeText.c_str(), stock.code, rowsWanted);
    m_run->setKnownDay(newest);
    return kRunPages;
}

int32_t CFetchListHistories::EndStock(std::string* reason) {
    const std::vector<KDT> rows = m_run->Rows();
    for (const KDT& row : rows)
        m_knownDay = std::max(m_knownDay, KDTDateKey(row));
    if (rows.empty())
        return Finish(kNoRows);
    switch (MergeIntoFile(m_folder, m_stocks[size_t(m_index)].code, m_days, rows)) {
    case Merged::kNothingNew:
        return Finish(kUpToDate);
    case Merged::kNotWritten:
        *reason = kNotWrittenReason;
        return Finish(kFailed);
    default:
        return Finish(kWritten);
    }
}

void CFetchListHistories::FailStock() {
    Finish(kFailed);
}

int32_t CFetchListHistories::Finish(int32_t result) {
    m_run.reset();
    m_days.clear();
    ++m_index;
    return result;
}

CDayToHistories::CDayToHistories(const CFetchData& fetchData, const std::string& folder)
    : m_folder(folder) {
    if (fetchData.nPages() < 1)
        return;
    int32_t year, month, day;
    fetchData.getDate(year, month, day);
    ForEachHistoryStock(fetchData, [&](const CTesselRec& record, int32_t code) {
        if (record.HasQuote())
            m_days.emplace_back(code, DayRow(record, year, month, day));
    });
}

bool CDayToHistories::Add(int32_t n) {
    std::vector<KDT> days;
    for (; n > 0 && m_index < nStocks(); --n, ++m_index) {
        const auto& [code, row] = m_days[size_t(m_index)];
        const int32_t status = ReadKDTFile(m_folder + "/" + KDTFileName(code), days);
        // A history starts with the series jobs; an empty file is filled by
        // them too, never from one day.
        if (status == kKDTFileMissing || status == kKDTFileEmpty)
            continue;
        if (status != kKDTFileRead) {
            m_failures.emplace_back(code, KDTFileStatusText(status));
            continue;
        }
        // A file that already has the day as the quotes give it is not
        // rewritten: a second fetch of the day costs no writes.
        if (MergeIntoFile(m_folder, code, days, {row}) == Merged::kNotWritten)
            m_failures.emplace_back(code, kNotWrittenReason);
        else
            ++m_nAdded;
    }
    return m_index < nStocks();
}
