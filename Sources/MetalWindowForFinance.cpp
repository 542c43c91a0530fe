// The finance job: the finance view of every page of the fetch list, its
// values copied into the page's daily records, and the day's finance file
// written once the last page has been read (a failed page is asked for again
// after the others, as in the daily fetch). Cancel writes no file.
#include "MetalWindow.h"

#include "Fetch/FetchData.h"
#include "Fetch/QuoteServers.h"
#include "HTTPAccess.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

void CMetalWindow::DoMakeFinance() {
    if (m_shownSheet == kFinanceSheet || !HasFetchList())
        return;
    ShowJobSheet(financeSheet);
    currentFetchData = g_fetchData;
    pageCount = currentFetchData->nPages();
    pageIndex = 0;
    extractedCount = 0;
    errorCount = 0;
    SetCount(financeSheet.countText, extractedCount);
    pageRound.Start(pageCount);
    StartFetchPage(true);
    BeginJob(financeSheet, &CMetalWindow::StartProgressMakeFinance, kFinanceSheet, QuoteHost());
    NoteRefusedLines(financeSheet);
}

void CMetalWindow::StartProgressMakeFinance() {
    StartProgress(financeSheet);
}

void CMetalWindow::ProgressMakeFinance() {
    if (http->complete) {
        http->complete = 0;
        if (!TakeFetchPage(financeSheet, true)) {
            EndFetchPages(true);
            EndMakeFinance();
        }
    }
    SetControl32BitValue(financeSheet.progressBar, pageIndex);
}

void CMetalWindow::EndProgressMakeFinance() {
    EndProgress(financeSheet);
}

void CMetalWindow::EndMakeFinance() {
    EndJob(financeSheet, &CMetalWindow::EndProgressMakeFinance);
}
