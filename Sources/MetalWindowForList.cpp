// The listing job: all pages of the market listing, each completed with its
// codes' markets, and at the end the rewritten fetch list (or the new codes
// alone).
#include "MetalWindow.h"

#include "Fetch/MakeList.h"
#include "FetchListDialog.h"
#include "HTTPAccess.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

#include <string>

void CMetalWindow::DoMakeList() {
    if (m_shownSheet == kListSheet)
        return;
    CFetchListDialog dialog(mainWindow);
    dialog.DoModal();
    if (!dialog.accepted)
        return;
    for (int32_t i = 0; i < 3; ++i)
        listOptions[i] = dialog.options[i];

    ShowJobSheet(listSheet);
    if (!makeList)
        makeList = new CMakeList;
    pageCount = makeList->nPages();
    pageIndex = 0;
    addedCount = 0;
    SetCount(listSheet.countText, addedCount);
    ++listRun;
    StartPageDownload(makeList->getURL(0), makeList->getWebTemp(0));
    BeginJob(listSheet, &CMetalWindow::StartProgressMakeList, kListSheet);
}

void CMetalWindow::StartProgressMakeList() {
    StartProgress(listSheet);
}

void CMetalWindow::ProgressMakeList() {
    if (http->complete) {
        http->complete = 0;
        const int32_t page = pageIndex;
        // A page that could not be read still goes through the market step
        // with what it holds.
        ExtractListData(makeList->getWebTemp(page), makeList->getPage(page));

        // The market step waits for each profile page in a nested event loop,
        // where ticks, the cancel command and even a new run may come. The
        // downloader keeps those waits out of `complete`; once this run is
        // over, the step downloads nothing more and this tick stops here.
        const uint32_t run = listRun;
        auto current = [this, run] { return listSheet.running && listRun == run; };
        makeList->AddMarketCode(page, listOptions[CFetchListDialog::kKeepFiles],
                                listOptions[CFetchListDialog::kOnlyAdded],
                                listOptions[CFetchListDialog::kOffline],
                                [this, &current](const std::string& url, const std::string& path) {
                                    if (current())
                                        DoGetComplete(url, path);
                                });
        if (!current())
            return;

        addedCount += makeList->getPage(page)->CountAddedItems();
        SetCount(listSheet.countText, addedCount);
        ++pageIndex;
        if (pageIndex < pageCount) {
            StartPageDownload(makeList->getURL(pageIndex), makeList->getWebTemp(pageIndex));
        } else {
            const bool onlyAdded = listOptions[CFetchListDialog::kOnlyAdded];
            if (makeList->Save(g_startupPath, onlyAdded) != 0)
                m_jobFailure = onlyAdded ? "could not write the list of new codes"
                                         : "could not write fetchlist.csv";
            EndMakeList();
        }
    }
    SetControl32BitValue(listSheet.progressBar, pageIndex);
}

void CMetalWindow::EndProgressMakeList() {
    EndProgress(listSheet);
}

void CMetalWindow::EndMakeList() {
    EndJob(listSheet, &CMetalWindow::EndProgressMakeList);
}

int32_t CMetalWindow::ExtractListData(const char* name, CListPageData* page) {
    const std::string path = g_startupPath + "/webtemp/" + name;
    return CListPageData::ExtractListData(path.c_str(), page);
}
