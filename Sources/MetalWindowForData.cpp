// The daily quote fetch: every quote page of the fetch list, one download at
// a time; each page is parsed in the tick after it has arrived, a page that
// failed is asked for again after the others, and the daily file is written
// after the last one, and, when the settings ask for it, the day added to the
// histories that exist. The finance job walks its pages the same way.
#include "Fetch/FetchData.h"
#include "Fetch/FetchListHistories.h"
#include "Fetch/QuoteServers.h"
#include "Fetch/TorlindUtil.h"
#include "HTTPAccess.h"
#include "MetalWindow.h"
#include "Preferences.h"
#include "ProgramSettings.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

void CMetalWindow::DoFetchData(CFetchData* fetchData) {
    // A finished fetch stays on its sheet; only another sheet or a cancel
    // lets the command start the next one.
    if (m_shownSheet == kFetchSheet || !fetchData || fetchData->nPages() < 1)
        return;
    ShowJobSheet(fetchSheet);
    currentFetchData = fetchData;
    pageCount = fetchData->nPages();
    pageIndex = 0;
    extractedCount = 0;
    errorCount = 0;
    // The sheet shows the counts of this run, not those of the last one.
    SetCount(fetchSheet.countText, extractedCount);
    SetCount(fetchSheet.errorText, errorCount);
    pageRound.Start(pageCount);
    StartFetchPage(false);
    BeginJob(fetchSheet, &CMetalWindow::StartProgressFetchData, kFetchSheet, QuoteHost());
    NoteRefusedLines(fetchSheet);
}

void CMetalWindow::StartProgressFetchData() {
    StartProgress(fetchSheet);
}

// Files a tick gives the day, so that the window answers while thousands of
// histories are brought up.
static constexpr int32_t kHistoriesPerTick = 50;

void CMetalWindow::ProgressFetchData() {
    if (dayToHistories) {
        // The daily file is written; the day goes into the histories.
        if (dayToHistories->Add(kHistoriesPerTick)) {
            SetControlText(
                fetchSheet.statusText,
                ("adding the day to the histories: " + std::to_string(dayToHistories->nDone()) +
                 " of " + std::to_string(dayToHistories->nStocks()))
                    .c_str());
            return;
        }
        EndDayToHistories();
        EndFetchRun();
        return;
    }
    if (http->complete) {
        http->complete = 0;
        if (!TakeFetchPage(fetchSheet, false)) {
            EndFetchPages(false);
            if (!dayToHistories) {
                EndFetchRun();
                return;
            }
        }
    }
    SetControl32BitValue(fetchSheet.progressBar, pageIndex);
}

void CMetalWindow::EndFetchRun() {
    EndFetchData();
    if (g_Preferences->quitAfterFetch)
        ExitToShell(m_outcome.exitStatus());
}

void CMetalWindow::EndProgressFetchData() {
    delete dayToHistories;
    dayToHistories = nullptr;
    EndProgress(fetchSheet);
}

void CMetalWindow::EndFetchData() {
    EndJob(fetchSheet, &CMetalWindow::EndProgressFetchData);
}

void CMetalWindow::ExtractData(const char* name, CPageData* page) {
    CPageData::ExtractData(WebTempPath(name).c_str(), page);
}

void CMetalWindow::ReloadFetchData(CFetchData* fetchData) {
    for (int32_t i = 0; i < fetchData->nPages(); ++i)
        ExtractData(fetchData->getWebTemp(i), fetchData->getPage(i));
}

// --- The pages of the fetch and finance jobs -----------------------------

void CMetalWindow::StartFetchPage(bool finance) {
    const int32_t page = pageRound.page();
    // A finance page goes where the page's quote page was.
    StartPageDownload(finance ? currentFetchData->getFinanceURL(page)
                              : currentFetchData->getURL(page),
                      currentFetchData->getWebTemp(page));
}

bool CMetalWindow::TakeFetchPage(JobSheet& sheet, bool finance) {
    const int32_t index = pageRound.page();
    CPageData* page = currentFetchData->getPage(index);
    const DownloadOutcome& download = http->outcome();
    // A page on its retry was counted missing when it failed.
    if (pageRound.retry() > 0)
        errorCount -= page->nCodes();
    int32_t found = 0;
    if (!download.done()) {
        // Neither an error page nor a cut one is read: the page brings nothing.
        if (finance)
            page->ClearFinance();
        else
            page->ClearQuotes();
    } else if (finance) {
        // A page whose file cannot be opened (-1) adds nothing.
        found = CTorlindUtil::ExtractFinance(WebTempPath(page->getWebTemp()).c_str(), page);
        if (found < 0)
            found = 0;
    } else {
        ExtractData(page->getWebTemp(), page);
        found = page->nExtracted();
    }
    extractedCount += found;
    errorCount += page->nCodes() - found;
    SetCount(sheet.countText, extractedCount);
    SetCount(sheet.errorText, errorCount);

    // The bar counts the pages' first tries; it stays full during the retries.
    if (pageRound.retry() == 0)
        ++pageIndex;
    if (!pageRound.Next(download.done(), download.reason))
        return false;
    if (pageRound.retry() > 0) {
        const int32_t retried = pageRound.page();
        JobNotice(sheet, "page " + std::to_string(retried + 1) + " of " +
                             std::to_string(pageCount) + " failed (" + pageRound.failure(retried) +
                             "); retry " + std::to_string(pageRound.retry()) + " of " +
                             std::to_string(CPageRound::kRetries));
    }
    StartFetchPage(finance);
    return true;
}

void CMetalWindow::EndFetchPages(bool finance) {
    for (int32_t i = 0; i < pageCount; ++i) {
        const std::string& failure = pageRound.failure(i);
        if (!failure.empty())
            m_outcome.AddFailedPage(i + 1, failure,
                                    currentFetchData->getPage(i)->LogFailure(failure.c_str()));
    }
    if (pageRound.nArrived() == 0) {
        // Nothing to write: the newest file of its kind stays as it is.
        const std::string latest =
            finance ? CFetchData::LatestFinanceFile(g_startupPath)
                    : CFetchData::LatestDailyFile(g_startupPath, g_Preferences->fileFormat);
        m_outcome.End(CJobOutcome::kFailed,
                      m_outcome.NoAnswerText() + CJobOutcome::KeptText(g_startupPath, latest));
        return;
    }
    int32_t nKept = 0;
    const bool saved = finance
                           ? currentFetchData->SaveFinanceData(extractedCount, g_startupPath,
                                                               g_Preferences->GetCreator(), &nKept)
                           : DoSave(&nKept);
    const std::string name = finance ? currentFetchData->financeFileName()
                                     : currentFetchData->dailyFileName(g_Preferences->fileFormat);
    if (!saved) {
        m_outcome.End(CJobOutcome::kFailed, (finance ? "could not write the finance file "
                                                     : "could not write the daily file ") +
                                                name);
        return;
    }
    // The file and its count first, then what the run lacked.
    fetchMessage = name + ": " + CJobOutcome::CountText(extractedCount, "stock") + ", " +
                   std::to_string(errorCount) + " missing";
    if (!m_outcome.failedPages().empty())
        fetchMessage += "; " + std::to_string(m_outcome.nMissing()) + " stocks missing because " +
                        m_outcome.FailedPagesText("page", pageCount);
    if (nKept > 0)
        fetchMessage += "; " + CJobOutcome::CountText(nKept, "stock") +
                        " kept their lines from the day's earlier file";
    // The run ends once the day is in the histories, a share each tick.
    if (!finance && g_settings->updateHistories)
        dayToHistories = new CDayToHistories(*currentFetchData, g_startupPath);
    else
        EndFetchOutcome();
}

void CMetalWindow::EndDayToHistories() {
    const int32_t added = dayToHistories->nAdded();
    std::string text =
        "the day was added to " + std::to_string(added) + (added == 1 ? " history" : " histories");
    for (const auto& [code, reason] : dayToHistories->failures())
        m_outcome.AddFailedStock(code, reason);
    if (!m_outcome.failedStocks().empty())
        text += "; " +
                m_outcome.FailedStocksText("adding it to the history of ",
                                           "adding it to the histories of ") +
                "; those files were kept";
    fetchMessage += "; " + text;
    delete dayToHistories;
    dayToHistories = nullptr;
    EndFetchOutcome();
}

void CMetalWindow::EndFetchOutcome() {
    const bool partial = !m_outcome.failedPages().empty() || !m_outcome.failedStocks().empty();
    m_outcome.End(partial ? CJobOutcome::kPartial : CJobOutcome::kDone, fetchMessage);
}

void CMetalWindow::NoteRefusedLines(JobSheet& sheet) {
    const std::vector<CFetchData::RefusedLine>& refused = currentFetchData->refusedLines();
    if (refused.empty())
        return;
    std::vector<int32_t> numbers;
    for (const CFetchData::RefusedLine& line : refused) {
        const CTesselRec* record = currentFetchData->getPage(line.page)->getTesselRec(line.slot);
        const std::string reason = "quote code \"" + line.quoteCode + "\" on line " +
                                   std::to_string(line.lineNumber) +
                                   " of fetchlist.csv not requested: " + line.reason;
        CPageData::WriteLog(line.page, record->code, record->name, reason.c_str());
        numbers.push_back(line.lineNumber);
    }
    const bool one = refused.size() == 1;
    JobNotice(sheet, std::string(one ? "fetchlist.csv line " : "fetchlist.csv lines ") +
                         CJobOutcome::NumbersText(numbers) +
                         (one ? " was not requested, as its quote code"
                              : " were not requested, as their quote codes") +
                         " cannot go into a request (ERRORLOG.TXT says why)");
}
