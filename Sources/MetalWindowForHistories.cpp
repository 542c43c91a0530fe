// The histories of the whole fetch list: stock by stock, the pages of the
// series job down to the newest day the stock's file holds (the whole history
// asked for when it has none), the new rows merged into the file. A stock whose
// file holds the newest trading day is skipped without a download, so a run
// that was stopped resumes where it stopped. The progress bar counts stocks.
#include "EnterCodeDialog.h"
#include "Fetch/FetchData.h"
#include "Fetch/FetchListHistories.h"
#include "Fetch/MakeKDT.h"
#include "Fetch/QuoteServers.h"
#include "HTTPAccess.h"
#include "MetalWindow.h"
#include "ProgramSettings.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

// Stocks a tick may finish without a download (files read, none written):
// a list that is up to date goes by quickly, and the window still answers.
static constexpr int32_t kStocksPerTick = 100;
// A service that failed this many stocks one after another is not asked for
// the rest.
static constexpr int32_t kFailuresInARowToStop = 10;
static const char kSettingsNotSavedMessage[] = "vezizo.confに設定を保存できませんでした。";

// The fetch-list lines whose code names no stock's history.
static std::string OthersText(int32_t nOthers) {
    return "fetch-list codes that are not stock codes from 1000 to 9999, skipped: " +
           std::to_string(nOthers);
}

void CMetalWindow::DoUpdateHistories() {
    if (m_shownSheet == kHistoriesSheet)
        return;
    ShowJobSheet(historiesSheet);
    delete histories;
    const int32_t rows =
        historyRows > 0 ? historyRows : atoiClamped(CEnterCodeDialog::kDefaultRows);
    histories =
        new CFetchListHistories(*g_fetchData, g_startupPath, rows,
                                KnownTradingDay(g_startupPath, TodayDateKey()), TodayDateKey());
    SetControlText(historiesSheet.currentText, "");
    if (histories->nStocks() == 0) {
        // Nothing to start: the sheet says why, as the command line does.
        m_outcome.Begin(HistoryHost());
        m_outcome.End(CJobOutcome::kFailed,
                      "the fetch list has no stock code from 1000 to 9999; nothing was written");
        SetControlText(historiesSheet.statusText, m_outcome.message().c_str());
        m_shownSheet = kHistoriesSheet;
        return;
    }
    pageCount = histories->nStocks();
    historiesWritten = historiesUpToDate = historiesNoRows = historiesFailed = 0;
    historiesFailedInARow = 0;
    SetCount(historiesSheet.countText, 0);
    SetCount(historiesSheet.errorText, 0);
    SetCount(historiesSheet.failedText, 0);
    // The first tick takes up the first stocks.
    BeginJob(historiesSheet, &CMetalWindow::StartProgressUpdateHistories, kHistoriesSheet,
             HistoryHost());
    if (histories->nOthers() > 0)
        JobNotice(historiesSheet, OthersText(histories->nOthers()));
}

void CMetalWindow::StartProgressUpdateHistories() {
    StartProgress(historiesSheet);
}

void CMetalWindow::ProgressUpdateHistories() {
    CMakeKDT* run = histories->run();
    if (!run) {
        StartHistoryStocks();
    } else if (http->complete) {
        http->complete = 0;
        const int32_t taken = TakeKDTPage(run, historyPage);
        if (taken == kKDTPageFailed) {
            ++historiesFailedInARow;
            CountHistory(CFetchListHistories::kFailed, histories->code(), http->outcome().reason);
            histories->FailStock();
        } else if (taken == kKDTPagesDone) {
            historiesFailedInARow = 0;
            const int32_t code = histories->code();
            std::string reason;
            CountHistory(histories->EndStock(&reason), code, reason);
        } else {
            historiesFailedInARow = 0;
            StartPageDownload(run->getURL(historyPage), run->getWebTemp(historyPage));
        }
        if (!histories->run())
            StartHistoryStocks();
    }
    SetControl32BitValue(historiesSheet.progressBar,
                         historiesSheet.running ? histories->stockIndex() : 0);
}

void CMetalWindow::StartHistoryStocks() {
    for (int32_t n = 0; n < kStocksPerTick; ++n) {
        const int32_t code = histories->code();
        std::string reason;
        const int32_t result = historiesFailedInARow >= kFailuresInARowToStop
                                   ? CFetchListHistories::kNoStock
                                   : histories->StartStock(&reason);
        if (result == CFetchListHistories::kNoStock) {
            SetControlText(historiesSheet.currentText, "");
            EndHistoriesRun();
            EndUpdateHistories();
            return;
        }
        if (result == CFetchListHistories::kRunPages) {
            SetControlText(historiesSheet.currentText, histories->codeText().c_str());
            historyPage = 0;
            StartPageDownload(histories->run()->getURL(0), histories->run()->getWebTemp(0));
            return;
        }
        CountHistory(result, code, reason);
    }
}

void CMetalWindow::CountHistory(int32_t result, int32_t code, const std::string& reason) {
    switch (result) {
    case CFetchListHistories::kWritten:
        SetCount(historiesSheet.countText, ++historiesWritten);
        return;
    case CFetchListHistories::kFailed:
        m_outcome.AddFailedStock(code, reason);
        SetCount(historiesSheet.failedText, ++historiesFailed);
        return;
    case CFetchListHistories::kUpToDate:
        ++historiesUpToDate;
        break;
    default:
        ++historiesNoRows;
        break;
    }
    SetCount(historiesSheet.errorText, historiesUpToDate + historiesNoRows);
}

void CMetalWindow::EndHistoriesRun() {
    std::string summary = std::to_string(historiesWritten) + " written, " +
                          std::to_string(historiesUpToDate) + " up to date";
    if (historiesNoRows > 0)
        summary += ", " + std::to_string(historiesNoRows) + " without rows at the service";
    if (histories->nOthers() > 0)
        summary += "; " + OthersText(histories->nOthers());
    const int32_t nLeft = histories->nStocks() - histories->stockIndex();
    if (nLeft > 0)
        summary = "stopped after " + std::to_string(kFailuresInARowToStop) +
                  " stocks in a row failed, " + std::to_string(nLeft) + " not asked for; " +
                  summary;
    const bool succeeded = historiesWritten + historiesUpToDate > 0;
    if (historiesFailed > 0)
        m_outcome.End(succeeded ? CJobOutcome::kPartial : CJobOutcome::kFailed,
                      m_outcome.FailedStocksText("the history of ", "the histories of ") +
                          "; files kept as they were; " + summary);
    else if (!succeeded)
        m_outcome.End(CJobOutcome::kFailed,
                      "the service gave no rows; no history file written; " + summary);
    else
        m_outcome.End(CJobOutcome::kDone, summary);
}

void CMetalWindow::EndProgressUpdateHistories() {
    EndProgress(historiesSheet);
}

void CMetalWindow::EndUpdateHistories() {
    EndJob(historiesSheet, &CMetalWindow::EndProgressUpdateHistories);
}

void CMetalWindow::DoToggleUpdateHistories() {
    g_settings->updateHistories = !g_settings->updateHistories;
    SetMenuCommandMark(mainWindow, FourCharCode("kdup"), g_settings->updateHistories);
    if (!g_settings->Save())
        ShowCautionAlertSheet(mainWindow, kSettingsNotSavedMessage);
}
