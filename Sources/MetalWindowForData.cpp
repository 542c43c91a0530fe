// The daily quote fetch: every quote page of the fetch list, one download at
// a time; each page is parsed in the tick after it has arrived, and the daily
// file is written after the last one.
#include "Fetch/FetchData.h"
#include "HTTPAccess.h"
#include "MetalWindow.h"
#include "Preferences.h"
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
    StartPageDownload(fetchData->getURL(0), fetchData->getWebTemp(0));
    BeginJob(fetchSheet, &CMetalWindow::StartProgressFetchData, kFetchSheet);
}

void CMetalWindow::StartProgressFetchData() {
    StartProgress(fetchSheet);
}

void CMetalWindow::ProgressFetchData() {
    if (http->complete) {
        http->complete = 0;
        CPageData* page = currentFetchData->getPage(pageIndex);
        ExtractData(currentFetchData->getWebTemp(pageIndex), page);
        const int32_t extracted = page->nExtracted();
        extractedCount += extracted;
        errorCount += page->nCodes() - extracted;
        SetCount(fetchSheet.countText, extractedCount);
        SetCount(fetchSheet.errorText, errorCount);

        ++pageIndex;
        if (pageIndex >= pageCount) {
            DoSave();
            EndFetchData();
            if (g_Preferences->quitAfterFetch) {
                ExitToShell();
                return;
            }
        } else {
            StartPageDownload(currentFetchData->getURL(pageIndex),
                              currentFetchData->getWebTemp(pageIndex));
        }
    }
    SetControl32BitValue(fetchSheet.progressBar, pageIndex);
}

void CMetalWindow::EndProgressFetchData() {
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
