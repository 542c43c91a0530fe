// The company profile job: code by code through the fetch list, each profile
// page downloaded (or read from the copy an earlier run kept) and stored in
// the extension dictionary as soon as it has been read. A code whose page did
// not arrive keeps its record as it was. The progress bar counts pages of the
// fetch list; the count text counts codes.
#include "MetalWindow.h"

#include "ExDic.h"
#include "Fetch/FetchData.h"
#include "Fetch/QuoteServers.h"
#include "Fetch/TorlindUtil.h"
#include "FundamentalDialog.h"
#include "HTTPAccess.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"

#include <cstdio>
#include <cstring>

void CMetalWindow::MakeFundamentalURLAndPath(int32_t code, std::string& url,
                                             std::string& path) const {
    char name[64];
    std::snprintf(name, sizeof name, "/biz/fundamental/%04d.html", code);
    url = "http://" + ProfileHost() + name;
    if (fundamentalOptions[CFundamentalDialog::kKeepFiles]) {
        std::snprintf(name, sizeof name, "webtemp/fundamental/%04d/%04d.html", code / 1000 * 1000,
                      code);
        path = name;
    } else {
        path = "webtemp/fundamental.html";
    }
}

void CMetalWindow::DoMakeFundamental() {
    // What lies in the dictionary's place but is none is refused before any
    // question is asked, whatever the options.
    std::string refusal;
    if (!CExDic::CheckDicSize(refusal)) {
        m_outcome.Begin(ProfileHost());
        m_outcome.End(CJobOutcome::kFailed, refusal);
        ShowCautionAlertSheet(mainWindow, refusal.c_str());
        return;
    }
    CFundamentalDialog dialog(mainWindow);
    dialog.DoModal();
    if (!dialog.accepted)
        return;
    std::memcpy(fundamentalOptions, dialog.options, sizeof fundamentalOptions);
    if (fundamentalOptions[CFundamentalDialog::kOffline])
        fundamentalOptions[CFundamentalDialog::kKeepFiles] = 1;
    if (fundamentalOptions[CFundamentalDialog::kKeepFiles])
        CTorlindUtil::CreateWorkDir();
    ShowJobSheet(fundamentalSheet);

    // A dictionary that cannot be made would take none of the records, so
    // the job does not run at all; the sheet stays shown.
    const bool dictionaryReady = fundamentalOptions[CFundamentalDialog::kExistingDictionaryOnly]
                                     ? CExDic::CheckDic() != 0
                                     : CExDic::MakeDic() != 0;
    CPageData* firstPage = g_fetchData ? g_fetchData->getPage(0) : nullptr;
    if (!dictionaryReady || !firstPage)
        return;

    pageCount = g_fetchData->nPages();
    pageIndex = 0;
    codeCount = firstPage->nCodes();
    codeIndex = 0;
    fundamentalCount = 0;
    fundamentalStored = 0;
    SetCount(fundamentalSheet.countText, fundamentalCount);
    StartFundamentalCode();
    BeginJob(fundamentalSheet, &CMetalWindow::StartProgressMakeFundamental, kFundamentalSheet,
             ProfileHost());
}

void CMetalWindow::StartFundamentalCode() {
    currentCode = g_fetchData->getPage(pageIndex)->getTesselRec(codeIndex)->code;
    std::string url;
    MakeFundamentalURLAndPath(currentCode, url, fundamentalPath);
    if (!fundamentalOptions[CFundamentalDialog::kOffline])
        http->OpenURL(url, fundamentalPath);
    ++fundamentalCount;
}

void CMetalWindow::StartProgressMakeFundamental() {
    StartProgress(fundamentalSheet);
}

void CMetalWindow::ProgressMakeFundamental() {
    // Offline, every tick reads one stored page without waiting.
    if (http->complete || fundamentalOptions[CFundamentalDialog::kOffline]) {
        http->complete = 0;
        TakeFundamentalCode();
        SetCount(fundamentalSheet.countText, fundamentalCount);

        if (++codeIndex >= codeCount) {
            ++pageIndex;
            codeIndex = 0;
            const CPageData* page = g_fetchData->getPage(pageIndex);
            codeCount = page ? page->nCodes() : 0;
        }
        if (pageIndex < pageCount) {
            StartFundamentalCode();
        } else {
            EndFundamentalRun();
            EndMakeFundamental();
        }
    }
    SetControl32BitValue(fundamentalSheet.progressBar, pageIndex);
}

void CMetalWindow::TakeFundamentalCode() {
    const bool offline = fundamentalOptions[CFundamentalDialog::kOffline];
    if (!offline) {
        const DownloadOutcome& download = http->outcome();
        // A code the service has no profile for keeps its record too, but
        // the service did answer.
        if (download.noSuchPage())
            return;
        if (!download.done()) {
            m_outcome.AddFailedStock(currentCode, download.reason);
            return;
        }
    }
    FUNDAMENTAL record;
    if (CTorlindUtil::ExtractFundamental(fundamentalPath.c_str(), &record) != 0)
        m_outcome.AddFailedStock(currentCode, "no stored page");
    else if (CExDic::UpdateFundamental(currentCode, &record) == 0)
        m_outcome.AddFailedStock(currentCode, "could not write the dictionary");
    else
        ++fundamentalStored;
}

void CMetalWindow::EndFundamentalRun() {
    const std::string stored = std::string(CExDic::kFileName) + ": " +
                               std::to_string(fundamentalStored) + " of " +
                               CJobOutcome::CountText(fundamentalCount, "stock") + " stored";
    if (m_outcome.failedStocks().empty()) {
        m_outcome.End(CJobOutcome::kDone, stored);
    } else if (fundamentalStored == 0) {
        const bool offline = fundamentalOptions[CFundamentalDialog::kOffline];
        m_outcome.End(CJobOutcome::kFailed,
                      (offline ? m_outcome.FailedProfilesText() : m_outcome.NoAnswerText()) +
                          CJobOutcome::KeptText(g_startupPath, CExDic::kFileName));
    } else {
        m_outcome.End(CJobOutcome::kPartial, stored + "; " + m_outcome.FailedProfilesText() +
                                                 "; their dictionary records were kept");
    }
}

void CMetalWindow::EndProgressMakeFundamental() {
    EndProgress(fundamentalSheet);
}

void CMetalWindow::EndMakeFundamental() {
    EndJob(fundamentalSheet, &CMetalWindow::EndProgressMakeFundamental);
}
