// The one window controller: the main window and its six sheets, the command
// table, the job timer and the life cycle every job follows.
//
// A job lives in its own MetalWindowFor*.cpp and fills in five operations:
//   Start (DoX): after its own guards and dialog, ShowJobSheet(sheet); set
//     pageCount and its counters; StartPageDownload(url, webtempName) for
//     page 0; BeginJob(sheet, &CMetalWindow::StartProgressX, kXSheet).
//   StartProgressX: StartProgress(sheet).
//   ProgressX (each 0.1 s tick while it runs, and at once when a download has
//     ended): when http->complete, parse the page, SetCount(sheet.countText, n),
//     advance pageIndex and either StartPageDownload the next page or save and
//     EndX(); always finish with SetControl32BitValue(sheet.progressBar,
//     pageIndex). The downloader paces the requests and waits out a service
//     that asks it to wait; the sheet's status text tells of each wait.
//   EndProgressX: EndProgress(sheet).
//   EndX: EndJob(sheet, &CMetalWindow::EndProgressX) (the cancel command).
#pragma once

#include "JobOutcome.h"
#include "PageRound.h"
#include "Toolbox/DataBrowser.h"
#include "Toolbox/ToolboxTypes.h"
#include "Toolbox/Windows.h"

#include <cstdint>
#include <string>
#include <vector>

class CChartWindow;
class CDayToHistories;
class CFetchData;
class CFetchListHistories;
class CHTTPAccess;
struct DownloadOutcome;
struct DownloadWait;
class CListPageData;
class CMakeList;
class CKDTPageData;
class CMakeKDT;
class CPageData;
class QTimer;

// The caution shown when the fetch list has no pages (UTF-8).
extern const char kNoFetchListMessage[];

// The controls and state every job sheet has.
struct JobSheet {
    WindowRef window = nullptr;
    ControlRef headingText = nullptr;   // control 1: what the job does, then how it ended
    const char* subject = "";           // what the job gets, in the heading (Shift-JIS)
    ControlRef progressBar = nullptr;   // control 21
    ControlRef busyIndicator = nullptr; // control 31, shown while the job runs
    ControlRef countText = nullptr;     // control 11
    ControlRef errorText = nullptr;     // control 12 (fetch sheet only)
    ControlRef statusText = nullptr;    // control 13: a retry, how the job ended
    ControlRef failedText = nullptr;    // control 14: stocks failed (histories sheet)
    ControlRef currentText = nullptr;   // control 15: the code in work (histories sheet)
    ControlRef cancelButton = nullptr;  // control 2
    // What the command line calls the counts of controls 11 and 12.
    const char* countLabel = "count";
    const char* errorLabel = "missing";
    int32_t running = 0;
};

class CMetalWindow {
public:
    // Sheet numbers of shownSheet.
    enum {
        kNoSheet = 0,
        kFetchSheet,
        kListSheet,
        kKDTSheet,
        kFundamentalSheet,
        kFinanceSheet,
        kDispSheet,
        kHistoriesSheet
    };

    // folderInUse: another run holds the application folder; the window then
    // says so and refuses every command that works on the folder's files.
    // Otherwise the window shows cautions (UTF-8), the start-up's findings,
    // on one caution sheet, with the one about a missing fetch list.
    explicit CMetalWindow(bool folderInUse, std::vector<std::string> cautions = {});
    ~CMetalWindow();
    CMetalWindow(const CMetalWindow&) = delete;
    CMetalWindow& operator=(const CMetalWindow&) = delete;

    void Initialize();
    void MakeWindow();
    void MakeMenu();
    void InstallAppEvents();
    // Starts the daily fetch when the preferences say so, then runs the event
    // loop until a quit request.
    void run();

    // The command table; 0 when handled, eventNotHandledErr otherwise.
    int32_t DoAppCommandProcess(uint32_t command);
    void DoPreferences();
    void DoAboutBox();
    void HideSheetWindow();
    void StartIdling(double interval);
    void StopIdling();
    void myTimerEvent();
    // The least time between the starts of two requests to the service (the
    // settings' interval unless the command line names another).
    void SetRequestInterval(int32_t intervalMs);
    // The job timer's interval in seconds. The tests make it long, to show
    // that the downloads, not the timer, move the jobs.
    void setIdleInterval(double seconds) { idleInterval = seconds; }
    // Downloads url into path and returns when the download has ended, with
    // how it ended.
    DownloadOutcome DoGetComplete(const std::string& url, const std::string& path);

    // Daily quote fetch (MetalWindowForData.cpp).
    void DoFetchData(CFetchData* fetchData);
    void StartProgressFetchData();
    void ProgressFetchData();
    void EndProgressFetchData();
    void EndFetchData();
    // Writes the daily file from the fetch list's records; false when it could
    // not. *nKept: lines kept from the same day's earlier file.
    bool DoSave(int32_t* nKept = nullptr);
    void DoSaveAs() {}
    // Parses the stored page file name (in "webtemp") into page.
    void ExtractData(const char* name, CPageData* page);
    // Parses every page's stored file again, without downloading.
    void ReloadFetchData(CFetchData* fetchData);
    // Quote list (MetalWindowForDisp.cpp): fills the display sheet's list
    // with one row per code of the fetch list and shows the sheet.
    void DoDisp();
    // The list's callbacks. A row's item number is page * 50 + slot of
    // g_fetchData; rows above kLastListItem show nothing.
    static constexpr DataBrowserItemID kLastListItem = 9999;
    static int32_t MyGetSetItemData(ControlRef browser, DataBrowserItemID item,
                                    DataBrowserPropertyID property, DataBrowserItemData& itemData,
                                    bool changeValue);
    static bool MyItemComparison(ControlRef browser, DataBrowserItemID itemOne,
                                 DataBrowserItemID itemTwo, DataBrowserPropertyID sortProperty);
    static void MyItemNotification(ControlRef browser, DataBrowserItemID item, uint32_t message);
    // Listing (MetalWindowForList.cpp).
    void DoMakeList();
    void StartProgressMakeList();
    void ProgressMakeList();
    void EndProgressMakeList();
    void EndMakeList();
    // Reads the listing page stored in webtemp under name into page; 0 for a
    // page read normally, -1 for a missing file or a row that ends the page.
    int32_t ExtractListData(const char* name, CListPageData* page);
    // Historical series (MetalWindowForKDT.cpp).
    void DoMakeKDT();
    void StartProgressMakeKDT();
    void ProgressMakeKDT();
    void EndProgressMakeKDT();
    void EndMakeKDT();
    // Parses the downloaded page file name (in webtemp) into page; 0 when it
    // held at least one row.
    int32_t ExtractKDTData(const char* name, CKDTPageData* page);
    // Histories of the whole fetch list (MetalWindowForHistories.cpp).
    void DoUpdateHistories();
    void StartProgressUpdateHistories();
    void ProgressUpdateHistories();
    void EndProgressUpdateHistories();
    void EndUpdateHistories();
    // The rows asked for a stock that has no history file yet.
    void setHistoryRows(int32_t rows) { historyRows = rows; }
    // The 取得 menu's check item: the daily fetch adds its quotes to the
    // histories that exist; the choice is saved in the program's settings.
    void DoToggleUpdateHistories();
    // Chart (MetalWindowForChart.cpp): asks for a code and shows its chart.
    void DoChart();
    // Shows the chart of the stock's KD file in the chart window, made the
    // first time.
    void ShowChart(int32_t code);
    // The quote list's contextual menu: its chart item shows the row's chart.
    static void MyContextualMenuCommand(ControlRef browser, DataBrowserItemID item,
                                        uint32_t command);
    // Company profile (MetalWindowForFundamental.cpp).
    void DoMakeFundamental();
    void StartProgressMakeFundamental();
    void ProgressMakeFundamental();
    void EndProgressMakeFundamental();
    void EndMakeFundamental();
    // The profile page URL of code and the file it is kept in, relative to
    // the application folder.
    void MakeFundamentalURLAndPath(int32_t code, std::string& url, std::string& path) const;
    // Finance (MetalWindowForFinance.cpp).
    void DoMakeFinance();
    void StartProgressMakeFinance();
    void ProgressMakeFinance();
    void EndProgressMakeFinance();
    void EndMakeFinance();

    // For the command line and the tests.
    WindowRef window() const { return mainWindow; }
    int32_t shownSheet() const { return m_shownSheet; }
    // The block of sheet number 1 to 5, or null.
    const JobSheet* jobSheet(int32_t sheet) const;
    WindowRef dispSheetWindow() const { return dispSheet; }
    ControlRef quoteListControl() const { return quoteList; }
    ControlRef mainButton(int32_t index) const { return mainButtons[index]; }
    bool anyJobRunning() const;
    bool isIdling() const { return idleTimer != nullptr; }
    // The listing job's data, null before the first listing job.
    const CMakeList* listData() const { return makeList; }
    // How the last job went; its sheet's status text shows the same.
    const CJobOutcome& jobOutcome() const { return m_outcome; }
    // The chart window; null until a chart has been shown.
    CChartWindow* chart() const { return chartWindow; }
    // The series sheet's button that charts the file the job wrote.
    ControlRef kdtChartButtonControl() const { return kdtChartButton; }
    // The histories job's stocks, null before the first run.
    const CFetchListHistories* historiesData() const { return histories; }

private:
    // The common steps of the job life cycle; the job operations call them.
    // Start step 3: the sheets hidden, the window grown, the job's sheet shown.
    void ShowJobSheet(JobSheet& sheet);
    // Start steps 6 and 7: marks the job running (calling its start of
    // progress once) and records its sheet as the shown one; a new outcome for
    // the job, which asks the service at host.
    void BeginJob(JobSheet& sheet, void (CMetalWindow::*startProgress)(), int32_t sheetNumber,
                  const std::string& host);
    // Tells the user now: the outcome's notices and the sheet's status text.
    void JobNotice(JobSheet& sheet, std::string notice);
    // The sheet of the job that runs, or null.
    JobSheet* RunningSheet();
    // Tells the running job's user that the service asked to wait.
    void TellWait(const DownloadWait& wait);
    void StartPageDownload(const char* url, const char* webtempName);
    // g_startupPath + "/webtemp/" + webtempName.
    static std::string WebTempPath(const char* webtempName);
    void StartProgress(JobSheet& sheet);
    void EndProgress(JobSheet& sheet);
    // The end step: when the job runs, endProgress ends it, and the sheet's
    // status text shows how (a job ended before it said so was cancelled).
    void EndJob(JobSheet& sheet, void (CMetalWindow::*endProgress)());
    // Writes count as "%d" into a count text.
    void SetCount(ControlRef text, int32_t count);
    bool HasFetchList() const;
    bool LoadSheet(JobSheet& sheet, const char* name, uint32_t signature, const char* subject);
    // The fetch and finance jobs: the fetch-list lines whose quote codes were
    // refused logged to ERRORLOG.TXT and named in a notice.
    void NoteRefusedLines(JobSheet& sheet);
    // The profile job's code at pageIndex / codeIndex: its path, its download
    // unless offline, and one more page requested.
    void StartFundamentalCode();
    // The profile job's current code has arrived or failed: its record stored,
    // or the failure noted.
    void TakeFundamentalCode();
    // After the listing's last page: the files written unless a listing page
    // failed, and the outcome.
    void EndListRun();
    // The profile job's outcome once every code is done.
    void EndFundamentalRun();
    // The fetch and finance jobs (finance tells which): the download of the
    // page pageRound stands at.
    void StartFetchPage(bool finance);
    // The page that has just ended: its records or its failure, the counts,
    // the next download (a retry shown on the sheet). False when no page is left.
    bool TakeFetchPage(JobSheet& sheet, bool finance);
    // After the last page: the failed pages logged, the file written (unless
    // no page arrived) and the outcome.
    void EndFetchPages(bool finance);
    // The fetch job's run is over: its sheet ends, and the program with it
    // when the preferences say so.
    void EndFetchRun();
    // The day is in the histories: what became of them goes into the message.
    void EndDayToHistories();
    // The fetch or finance job's outcome from the pages and the histories.
    void EndFetchOutcome();
    // Results of TakeKDTPage.
    enum { kKDTPageFailed, kKDTMorePages, kKDTPagesDone };
    // The series page page of run has ended: when it arrived it is read and
    // page moves on. A page without rows ends the history, and so does one
    // that reaches the day the stock's file already holds.
    int32_t TakeKDTPage(CMakeKDT* run, int32_t& page);
    // The histories job: takes up the next stocks until one needs pages (its
    // first page asked for) or a tick's share is done; ends the run after the
    // last stock.
    void StartHistoryStocks();
    // Counts the stock code finished with a result of CFetchListHistories.
    void CountHistory(int32_t result, int32_t code, const std::string& reason);
    // The histories job's outcome once it has stopped.
    void EndHistoriesRun();

    JobSheet fetchSheet;
    CFetchData* currentFetchData = nullptr;
    int32_t extractedCount = 0;
    int32_t errorCount = 0;
    // After the daily file, while the day goes into the histories: the work
    // left, and the message so far.
    CDayToHistories* dayToHistories = nullptr;
    std::string fetchMessage;
    JobSheet listSheet;
    // Made by the first listing job and kept for the later ones.
    CMakeList* makeList = nullptr;
    int32_t addedCount = 0;
    uint8_t listOptions[3] = {0, 0, 0};
    // Counts listing runs, so that a market step that waited through a cancel
    // (and perhaps a new run) knows its run is over.
    uint32_t listRun = 0;
    JobSheet kdtSheet;
    // The run of the current or last series job, owned; replaced by the next.
    CMakeKDT* makeKDT = nullptr;
    // Active once the series job has written its file.
    ControlRef kdtChartButton = nullptr;
    CChartWindow* chartWindow = nullptr;
    JobSheet fundamentalSheet;
    int32_t fundamentalCount = 0;
    // Records the profile job has stored.
    int32_t fundamentalStored = 0;
    uint8_t fundamentalOptions[3] = {0, 0, 0};
    JobSheet financeSheet;
    JobSheet historiesSheet;
    CFetchListHistories* histories = nullptr;
    // 0: the code entry's default.
    int32_t historyRows = 0;
    // The page of the histories job's stock in work.
    int32_t historyPage = 0;
    int32_t historiesWritten = 0;
    int32_t historiesUpToDate = 0;
    int32_t historiesNoRows = 0;
    int32_t historiesFailed = 0;
    // Stocks failed one after another since the last that did not.
    int32_t historiesFailedInARow = 0;
    int32_t m_shownSheet = kNoSheet;
    bool m_folderInUse = false;
    std::vector<std::string> m_cautions;
    CJobOutcome m_outcome;
    // The fetch and finance jobs' pages and retries.
    CPageRound pageRound;
    // The job timer: the progress bar and cancel move on its ticks.
    static constexpr double kIdleInterval = 0.1;
    QTimer* idleTimer = nullptr;
    double idleInterval = kIdleInterval;
    CWindowGroup windowGroup;
    WindowRef mainWindow = nullptr;
    WindowRef dispSheet = nullptr;
    ControlRef mainButtons[3] = {nullptr, nullptr, nullptr};
    ControlRef quoteList = nullptr;
    CHTTPAccess* http = nullptr;
    uint32_t commandHandler = 0;
    int32_t pageCount = 0;
    int32_t pageIndex = 0;
    int32_t codeCount = 0;
    int32_t codeIndex = 0;
    std::string fundamentalPath;
    int32_t currentCode = 0;
};
