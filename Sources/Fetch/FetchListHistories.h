// The histories of the fetch list's stocks, kept current: the stocks the
// all-stock series job walks, the newest trading day it measures their files
// by, what each stock needs, its new rows merged into its file; and the day's
// quotes added to the files that exist.
#pragma once

#include "KDTFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CFetchData;
class CMakeKDT;
class CTesselRec;

// The history code of a fetch-list stock: its quote code read as a number
// when that code is exactly four digits from 1000 to 9999, else 0 (an index,
// a code of another kind): the number names the stock's KD file.
int32_t HistoryCodeOf(const CTesselRec& record);

// Today's local date as yyyymmdd.
int32_t TodayDateKey();
// The last weekday (Monday to Friday) on or before date; both yyyymmdd.
int32_t LastWeekday(int32_t date);
// The weekdays after from up to and including to (yyyymmdd); 0 when to is
// not after from.
int32_t WeekdaysAfter(int32_t from, int32_t to);

// The day (yyyymmdd) of the newest daily file in folder (any layout), when
// it is not older than the last weekday on or before today; 0 otherwise (no
// daily file, or one of an earlier day: the service may know newer days).
int32_t KnownTradingDay(const std::string& folder, int32_t today);

// The stocks of the fetch list with a history code (each code once, in list
// order), brought up to date one after another.
class CFetchListHistories {
public:
    // What became of a stock.
    enum Result {
        kRunPages, // its run has pages to ask for (StartStock only)
        kWritten,  // its file was written
        kUpToDate, // its file already held the service's rows
        kNoRows,   // no file, and the service gave no rows
        kFailed,   // a page failed or the file could not be read or written
        kNoStock,  // every stock is done (StartStock only)
    };

    // rowsWanted: the rows asked for a stock without a file. knownDay: the
    // newest trading day (yyyymmdd) known before the run, 0 when unknown;
    // today: today's date (yyyymmdd).
    CFetchListHistories(const CFetchData& fetchData, const std::string& folder, int32_t rowsWanted,
                        int32_t knownDay, int32_t today);
    ~CFetchListHistories();
    CFetchListHistories(const CFetchListHistories&) = delete;
    CFetchListHistories& operator=(const CFetchListHistories&) = delete;

    int32_t nStocks() const { return int32_t(m_stocks.size()); }
    // The fetch-list lines without a history code.
    int32_t nOthers() const { return m_nOthers; }
    // The stocks finished so far; the stock in work is this one.
    int32_t stockIndex() const { return m_index; }
    // The code text requested for the stock in work ("6758.O") and its code.
    const std::string& codeText() const;
    int32_t code() const;
    // The stock in work's pages; null when it needs none.
    CMakeKDT* run() const { return m_run.get(); }
    // The newest trading day known so far (yyyymmdd), 0 when none.
    int32_t knownDay() const { return m_knownDay; }

    // Takes up the next stock. A stock whose file holds the newest trading
    // day is up to date without a page; a file that cannot be read fails it
    // (reason says why) and stays as it is; otherwise run() has the pages to
    // ask for, down to the newest day the file holds. The stock is finished
    // unless kRunPages is returned; kNoStock when no stock is left.
    int32_t StartStock(std::string* reason);
    // The stock in work's pages have arrived: its new rows merged into its
    // file (one record per date, the service's values for a date it gives).
    // Returns kWritten, kUpToDate, kNoRows or kFailed (reason says why).
    int32_t EndStock(std::string* reason);
    // A page of the stock in work failed: its file stays as it was.
    void FailStock();

private:
    struct Stock {
        std::string codeText;
        int32_t code;
    };
    // Counts the stock in work finished with result and moves on.
    int32_t Finish(int32_t result);

    std::string m_folder;
    int32_t m_rowsWanted;
    int32_t m_knownDay;
    int32_t m_today;
    std::vector<Stock> m_stocks;
    int32_t m_nOthers = 0;
    int32_t m_index = 0;
    std::unique_ptr<CMakeKDT> m_run;
    // The stock in work's file as read, oldest first.
    std::vector<KDT> m_days;
};

// The day's quotes of a fetch added to the histories of its stocks that have
// a KD file: one record for the quotes' date with the quote's open, high, low,
// close and volume, replacing a record of that date. A file that could not be
// read or written stays as it was and is named in failures(). No file is made.
class CDayToHistories {
public:
    CDayToHistories(const CFetchData& fetchData, const std::string& folder);

    // The stocks with a quote and a history code, and those done so far.
    int32_t nStocks() const { return int32_t(m_days.size()); }
    int32_t nDone() const { return m_index; }
    // The files that got the day.
    int32_t nAdded() const { return m_nAdded; }
    // (code, reason) of each file that could not take the day.
    const std::vector<std::pair<int32_t, std::string>>& failures() const { return m_failures; }

    // Adds the day to the files of at most n more stocks; false once every
    // stock is done.
    bool Add(int32_t n);

private:
    std::string m_folder;
    // Each stock's code and its record of the day.
    std::vector<std::pair<int32_t, KDT>> m_days;
    int32_t m_index = 0;
    int32_t m_nAdded = 0;
    std::vector<std::pair<int32_t, std::string>> m_failures;
};
