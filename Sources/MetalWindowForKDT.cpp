// The historical series job: the daily history of one stock, 50 rows a page,
// newest first, written oldest first to "KD%04d.KDT" in the application folder.
// A page without rows ends the history; a page that failed ends the run with
// the earlier file kept.
#include "EnterCodeDialog.h"
#include "Fetch/MakeKDT.h"
#include "Fetch/QuoteServers.h"
#include "HTTPAccess.h"
#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

void CMetalWindow::DoMakeKDT() {
    if (m_shownSheet == kKDTSheet)
        return;
    CEnterCodeDialog dialog(mainWindow);
    dialog.DoModal();
    // A cancelled sheet leaves both texts empty; a code text too long for
    // the request is refused rather than cut into another stock's code.
    int32_t code = 0, rowsWanted = 0;
    if (CMakeKDT::CheckEntry(dialog.getCodeText(), dialog.getRowsText(), &code, &rowsWanted))
        return;

    ShowJobSheet(kdtSheet);
    DeactivateControl(kdtChartButton);
    currentFetchData = g_fetchData;
    delete makeKDT;
    makeKDT = new CMakeKDT(dialog.getCodeText(), code, rowsWanted);
    pageCount = makeKDT->nPages();
    pageIndex = 0;
    SetCount(kdtSheet.countText, pageIndex);
    StartPageDownload(makeKDT->getURL(0), makeKDT->getWebTemp(0));
    BeginJob(kdtSheet, &CMetalWindow::StartProgressMakeKDT, kKDTSheet, HistoryHost());
}

void CMetalWindow::StartProgressMakeKDT() {
    StartProgress(kdtSheet);
}

void CMetalWindow::ProgressMakeKDT() {
    if (http->complete) {
        http->complete = 0;
        const int32_t taken = TakeKDTPage(makeKDT, pageIndex);
        if (taken == kKDTPageFailed) {
            // Rows missing in the middle would make a file with a gap: the
            // earlier file stays.
            m_outcome.AddFailedPage(pageIndex + 1, http->outcome().reason, 0);
            m_outcome.End(CJobOutcome::kFailed,
                          (pageIndex == 0 ? m_outcome.NoAnswerText()
                                          : m_outcome.FailedPagesText("page", pageCount)) +
                              CJobOutcome::KeptText(g_startupPath, makeKDT->FileName()));
            EndMakeKDT();
            SetControl32BitValue(kdtSheet.progressBar, pageIndex);
            return;
        }
        SetCount(kdtSheet.countText, pageIndex);
        if (taken == kKDTPagesDone) {
            const int32_t written = makeKDT->Save(g_startupPath);
            if (written < 0)
                m_outcome.End(CJobOutcome::kFailed, "could not write the history file");
            else if (written == 0)
                m_outcome.End(CJobOutcome::kFailed,
                              "the service gave no rows; no history file written");
            else {
                m_outcome.End(CJobOutcome::kDone,
                              makeKDT->FileName() + ": " + CJobOutcome::CountText(written, "day"));
                ActivateControl(kdtChartButton);
            }
            EndMakeKDT();
        } else {
            StartPageDownload(makeKDT->getURL(pageIndex), makeKDT->getWebTemp(pageIndex));
        }
    }
    SetControl32BitValue(kdtSheet.progressBar, pageIndex);
}

int32_t CMetalWindow::TakeKDTPage(CMakeKDT* run, int32_t& page) {
    if (!http->outcome().done())
        return kKDTPageFailed;
    // The pages after the end of the history, or after the days the file
    // already holds, are not asked for.
    if (ExtractKDTData(run->getWebTemp(page), run->getPage(page)) != 0 ||
        run->ReachesKnownDay(page))
        page = run->nPages() - 1;
    ++page;
    return page < run->nPages() ? kKDTMorePages : kKDTPagesDone;
}

void CMetalWindow::EndProgressMakeKDT() {
    EndProgress(kdtSheet);
}

void CMetalWindow::EndMakeKDT() {
    EndJob(kdtSheet, &CMetalWindow::EndProgressMakeKDT);
}

int32_t CMetalWindow::ExtractKDTData(const char* name, CKDTPageData* page) {
    const std::string path = g_webtempPath + "/" + name;
    return CKDTPageData::ExtractKDTData(path.c_str(), page);
}
