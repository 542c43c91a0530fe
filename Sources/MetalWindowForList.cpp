// The listing job: all pages of the market listing, each completed with its
// codes' markets, and at the end the rewritten fetch list (or the new codes
// alone). A listing page that failed leaves every file as it was; a profile
// page that failed leaves its stock the market the fetch list gives it.
#include "MetalWindow.h"

#include "Fetch/MakeList.h"
#include "Fetch/QuoteServers.h"
#include "FetchListDialog.h"
#include "HTTPAccess.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

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
    BeginJob(listSheet, &CMetalWindow::StartProgressMakeList, kListSheet, QuoteHost());
}

void CMetalWindow::StartProgressMakeList() {
    StartProgress(listSheet);
}

void CMetalWindow::ProgressMakeList() {
    if (http->complete) {
        http->complete = 0;
        const int32_t page = pageIndex;
        const DownloadOutcome& download = http->outcome();
        if (!download.done())
            m_outcome.AddFailedPage(page + 1, download.reason, 0);
        // Once a listing page has failed nothing will be written, so no more
        // profile pages are asked for; the other listing pages still are, to
        // tell which failed.
        if (m_outcome.failedPages().empty()) {
            ExtractListData(makeList->getWebTemp(page), makeList->getPage(page));

            // The market step waits for each profile page in a nested event
            // loop, where ticks, the cancel command and even a new run may
            // come. The downloader keeps those waits out of `complete`; once
            // this run is over, the step downloads nothing more and this tick
            // stops here.
            const uint32_t run = listRun;
            auto current = [this, run] { return listSheet.running && listRun == run; };
            makeList->AddMarketCode(
                page, listOptions[CFetchListDialog::kKeepFiles],
                listOptions[CFetchListDialog::kOnlyAdded], listOptions[CFetchListDialog::kOffline],
                [this, &current](const std::string& url, const std::string& path) {
                    if (!current())
                        return false;
                    const DownloadOutcome profile = DoGetComplete(url, path);
                    // A code the service has no profile for is no failure.
                    if (!profile.done() && !profile.noSuchPage() && current())
                        m_outcome.AddFailedStock(atoiClamped(url.c_str() + url.rfind('/') + 1),
                                                 profile.reason);
                    return profile.done();
                });
            if (!current())
                return;
            addedCount += makeList->getPage(page)->CountAddedItems();
            SetCount(listSheet.countText, addedCount);
        }
        ++pageIndex;
        if (pageIndex < pageCount) {
            StartPageDownload(makeList->getURL(pageIndex), makeList->getWebTemp(pageIndex));
        } else {
            EndListRun();
            EndMakeList();
        }
    }
    SetControl32BitValue(listSheet.progressBar, pageIndex);
}

void CMetalWindow::EndListRun() {
    const bool onlyAdded = listOptions[CFetchListDialog::kOnlyAdded];
    const std::string result = onlyAdded ? CMakeList::AddedListName() : "fetchlist.csv";
    const int32_t nFailed = int32_t(m_outcome.failedPages().size());
    if (nFailed > 0) {
        m_outcome.End(CJobOutcome::kFailed,
                      (nFailed == pageCount
                           ? m_outcome.NoAnswerText()
                           : m_outcome.FailedPagesText("listing page", pageCount)) +
                          CJobOutcome::KeptText(g_startupPath, result));
        return;
    }
    if (makeList->Save(g_startupPath, onlyAdded) != 0) {
        m_outcome.End(CJobOutcome::kFailed, "could not write " + result);
        return;
    }
    // The file and its count first, then what the run lacked.
    std::string message = result + ": " +
                          (onlyAdded ? CJobOutcome::CountText(addedCount, "stock")
                                     : CJobOutcome::CountText(makeList->nRows(), "stock") + ", " +
                                           std::to_string(addedCount) + " new");
    if (!m_outcome.failedStocks().empty())
        message += "; " + m_outcome.FailedProfilesText() +
                   "; those stocks keep the market of the fetch list";
    if (const int32_t nUnknown = makeList->nAddedWithoutMarket())
        message += "; " + std::to_string(nUnknown) +
                   (nUnknown == 1 ? " new stock has" : " new stocks have") + " market X";
    // Codes the files cannot hold, or no request can carry, are left out.
    if (const int32_t nLetters = makeList->nLetterCodes())
        message += "; " + CJobOutcome::CountText(nLetters, "code") + " with letters " +
                   (nLetters == 1 ? "was" : "were") + " skipped";
    if (const int32_t nRefused = makeList->nRefusedCodes())
        message += "; " + CJobOutcome::CountText(nRefused, "code") +
                   " with other characters than letters, digits and . - _ ^ " +
                   (nRefused == 1 ? "was" : "were") + " skipped";
    m_outcome.End(m_outcome.failedStocks().empty() ? CJobOutcome::kDone : CJobOutcome::kPartial,
                  message);
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
