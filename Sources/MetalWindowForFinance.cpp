// The finance job: the finance view of every page of the fetch list, its
// values copied into the page's daily records, and the day's finance file
// written once the last page has been read. Cancel writes no file.
#include "MetalWindow.h"

#include "Fetch/FetchData.h"
#include "Fetch/TorlindUtil.h"
#include "HTTPAccess.h"
#include "Preferences.h"
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
    // The page's webtemp file, where its quote page was, is overwritten.
    StartPageDownload(currentFetchData->getFinanceURL(0), currentFetchData->getWebTemp(0));
    BeginJob(financeSheet, &CMetalWindow::StartProgressMakeFinance, kFinanceSheet);
}

void CMetalWindow::StartProgressMakeFinance() {
    StartProgress(financeSheet);
}

void CMetalWindow::ProgressMakeFinance() {
    if (http->complete) {
        http->complete = 0;
        const std::string path =
            g_startupPath + "/webtemp/" + currentFetchData->getWebTemp(pageIndex);
        CPageData* page = currentFetchData->getPage(pageIndex);
        // A page whose file cannot be opened (-1) adds nothing.
        int32_t found = CTorlindUtil::ExtractFinance(path.c_str(), page);
        if (found < 0)
            found = 0;
        extractedCount += found;
        errorCount += page->nCodes() - found;
        SetCount(financeSheet.countText, extractedCount);

        if (++pageIndex >= pageCount) {
            if (!currentFetchData->SaveFinanceData(extractedCount, g_startupPath,
                                                   g_Preferences->GetCreator()))
                m_jobFailure = "could not write the finance file";
            EndMakeFinance();
        } else {
            StartPageDownload(currentFetchData->getFinanceURL(pageIndex),
                              currentFetchData->getWebTemp(pageIndex));
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
