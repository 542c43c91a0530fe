#include "MetalWindow.h"

#include "ChartWindow.h"
#include "Fetch/FetchData.h"
#include "Fetch/FetchListHistories.h"
#include "Fetch/MakeKDT.h"
#include "Fetch/MakeList.h"
#include "FolderLock.h"
#include "HTTPAccess.h"
#include "Preferences.h"
#include "ProgramSettings.h"
#include "Toolbox/Toolbox.h"
#include "VezizoAboutDialog.h"
#include "VezizoMain.h"
#include "VezizoPreferencesDialog.h"
#include "misclib.h"

#include <cstdio>

static CMetalWindow* s_thisWin = nullptr;

const char kNoFetchListMessage[] = "fetchlist.csvが見つかりません。";

// Room for the counts and a status text of three lines.
static constexpr int32_t kJobWidth = 350, kJobHeight = 250;
static constexpr int32_t kIdleWidth = 350, kIdleHeight = 120;

// The commands that read or write the application folder's files.
static bool UsesFolder(uint32_t command) {
    switch (command) {
    case FourCharCode("fech"):
    case FourCharCode("list"):
    case FourCharCode("mkdt"):
    case FourCharCode("mkda"):
    case FourCharCode("fund"):
    case FourCharCode("fina"):
    case FourCharCode("disp"):
    case FourCharCode("save"):
        return true;
    default:
        return false;
    }
}

// The heading of a job sheet is the job's subject and one of these endings
// (Shift-JIS).
static constexpr char kHeadingRunning[] = // を取得しています…
    "\x82\xf0\x8e\xe6\x93\xbe\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x63";
static constexpr char kHeadingDone[] = // の取得を終えました
    "\x82\xcc\x8e\xe6\x93\xbe\x82\xf0\x8f\x49\x82\xa6\x82\xdc\x82\xb5\x82\xbd";
static constexpr char kHeadingPartial[] = // の取得を終えました（一部は取得できませんでした）
    "\x82\xcc\x8e\xe6\x93\xbe\x82\xf0\x8f\x49\x82\xa6\x82\xdc\x82\xb5\x82\xbd\x81\x69"
    "\x88\xea\x95\x94\x82\xcd\x8e\xe6\x93\xbe\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5"
    "\x82\xb5\x82\xbd\x81\x6a";
static constexpr char kHeadingCancelled[] = // の取得を中止しました
    "\x82\xcc\x8e\xe6\x93\xbe\x82\xf0\x92\x86\x8e\x7e\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
static constexpr char kHeadingFailed[] = // を取得できませんでした
    "\x82\xf0\x8e\xe6\x93\xbe\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";

static void SetHeading(const JobSheet& sheet, const char* ending) {
    SetControlText(sheet.headingText, (std::string(sheet.subject) + ending).c_str());
}

static void ShowFolderInUse(WindowRef window) {
    ShowCautionAlertSheet(window, CFolderLock::InUseMessage(g_startupPath).c_str());
}

CMetalWindow::CMetalWindow(bool folderInUse, std::vector<std::string> cautions)
    : m_folderInUse(folderInUse), m_cautions(std::move(cautions)) {
    s_thisWin = this;
    g_mainWindow = this;
    Initialize();
    MakeWindow();
    MakeMenu();
    InstallAppEvents();
    http = new CHTTPAccess(g_Preferences->useProxy != 0, g_Preferences->proxyHost,
                           g_Preferences->proxyPort);
    http->setInterval(g_settings->intervalMs);
    // A page that has arrived is taken at once, not at the next tick.
    http->setCompletionHandler([this] { myTimerEvent(); });
    http->setWaitHandler([this](const DownloadWait& wait) { TellWait(wait); });
}

CMetalWindow::~CMetalWindow() {
    StopIdling();
    RemoveCommandHandler(commandHandler);
    delete http;
    delete makeList;
    delete makeKDT;
    delete histories;
    delete dayToHistories;
    delete chartWindow;
    // The sheets live inside the main window and go with it.
    DisposeWindow(mainWindow);
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
    s_thisWin = nullptr;
}

void CMetalWindow::Initialize() {
    if (!InstallQuitEventHandler([] { QuitApplicationEventLoop(); }))
        ExitToShell(kExitFailed);
}

bool CMetalWindow::LoadSheet(JobSheet& sheet, const char* name, uint32_t signature,
                             const char* subject) {
    sheet.window = CreateWindowFromNib(name);
    if (!sheet.window)
        return false;
    AttachSheetToWindow(sheet.window, mainWindow);
    sheet.subject = subject;
    sheet.headingText = GetControlByID(sheet.window, signature, 1);
    sheet.progressBar = GetControlByID(sheet.window, signature, 21);
    sheet.busyIndicator = GetControlByID(sheet.window, signature, 31);
    sheet.countText = GetControlByID(sheet.window, signature, 11);
    sheet.errorText = GetControlByID(sheet.window, signature, 12);
    sheet.statusText = GetControlByID(sheet.window, signature, 13);
    sheet.failedText = GetControlByID(sheet.window, signature, 14);
    sheet.currentText = GetControlByID(sheet.window, signature, 15);
    sheet.cancelButton = GetControlByID(sheet.window, signature, 2);
    DeactivateControl(sheet.cancelButton);
    HideControl(sheet.busyIndicator);
    return true;
}

void CMetalWindow::MakeWindow() {
    mainWindow = CreateWindowFromNib("MainWindow");
    if (!mainWindow)
        return;
    SizeWindow(mainWindow, 340, 76);
    // Closing the main window ends the program at once.
    InstallWindowCloseHandler(mainWindow, [] { ExitToShell(ExitStatus()); });

    // Sheets are panels inside the main window, so they need no shadow and no
    // shift for older title bars.
    // The subjects: 株価, 銘柄一覧, 時系列データ, 企業情報, 財務データ, 全銘柄の時系列.
    if (!LoadSheet(fetchSheet, "FetchSheet", FourCharCode("fech"), "\x8a\x94\x89\xbf") ||
        !LoadSheet(listSheet, "MakeListSheet", FourCharCode("flst"),
                   "\x96\xc1\x95\xbf\x88\xea\x97\x97") ||
        !LoadSheet(kdtSheet, "MakeKDTSheet", FourCharCode("fkdt"),
                   "\x8e\x9e\x8c\x6e\x97\xf1\x83\x66\x81\x5b\x83\x5e") ||
        !LoadSheet(fundamentalSheet, "MakeFundamentalSheet", FourCharCode("fund"),
                   "\x8a\xe9\x8b\xc6\x8f\xee\x95\xf1") ||
        !LoadSheet(financeSheet, "MakeFinanceSheet", FourCharCode("fina"),
                   "\x8d\xe0\x96\xb1\x83\x66\x81\x5b\x83\x5e") ||
        !LoadSheet(historiesSheet, "UpdateHistoriesSheet", FourCharCode("fkda"),
                   "\x91\x53\x96\xc1\x95\xbf\x82\xcc\x8e\x9e\x8c\x6e\x97\xf1"))
        return;
    historiesSheet.countLabel = "written";
    historiesSheet.errorLabel = "skipped";
    dispSheet = CreateWindowFromNib("DispSheet");
    if (!dispSheet)
        return;
    AttachSheetToWindow(dispSheet, mainWindow);

    kdtChartButton = GetControlByID(kdtSheet.window, FourCharCode("fkdt"), 3);
    DeactivateControl(kdtChartButton);
    for (int32_t i = 0; i < 3; ++i)
        mainButtons[i] = GetControlByID(mainWindow, FourCharCode("main"), i + 1);
    quoteList = GetControlByID(dispSheet, FourCharCode("disp"), 11);
    DataBrowserCallbacks callbacks;
    callbacks.itemData = [list = quoteList](DataBrowserItemID item, DataBrowserPropertyID property,
                                            DataBrowserItemData& data, bool setValue) {
        return MyGetSetItemData(list, item, property, data, setValue);
    };
    callbacks.compare = [list = quoteList](DataBrowserItemID a, DataBrowserItemID b,
                                           DataBrowserPropertyID property) {
        return MyItemComparison(list, a, b, property);
    };
    callbacks.notification = [list = quoteList](DataBrowserItemID item, uint32_t message) {
        MyItemNotification(list, item, message);
    };
    callbacks.contextualMenuCommand = [list = quoteList](DataBrowserItemID item, uint32_t command) {
        MyContextualMenuCommand(list, item, command);
    };
    SetDataBrowserCallbacks(quoteList, callbacks);
    SetDataBrowserContextualMenu(quoteList, CreateMenuFromNib("QuoteListMenu"));

    for (WindowRef sheet :
         {fetchSheet.window, listSheet.window, kdtSheet.window, fundamentalSheet.window,
          financeSheet.window, historiesSheet.window, dispSheet, mainWindow})
        windowGroup.Add(sheet);
    ShowWindow(mainWindow);

    if (m_folderInUse) {
        ShowFolderInUse(mainWindow);
        return;
    }
    if (!HasFetchList())
        m_cautions.push_back(kNoFetchListMessage);
    std::string cautions;
    for (const std::string& caution : m_cautions)
        cautions += (cautions.empty() ? "" : "\n\n") + caution;
    if (!cautions.empty())
        ShowCautionAlertSheet(mainWindow, cautions.c_str());
}

void CMetalWindow::MakeMenu() {
    SetMenuBarFromNib(mainWindow, "MainMenu");
    SetMenuCommandMark(mainWindow, FourCharCode("kdup"), g_settings->updateHistories);
}

void CMetalWindow::InstallAppEvents() {
    commandHandler = InstallCommandHandler(
        [](uint32_t command) { return s_thisWin->DoAppCommandProcess(command); });
}

void CMetalWindow::run() {
    if (g_Preferences->fetchAtLaunch && HasFetchList() && !m_folderInUse)
        DoFetchData(g_fetchData);
    RunApplicationEventLoop();
}

bool CMetalWindow::HasFetchList() const {
    return g_fetchData && g_fetchData->nPages() > 0;
}

bool CMetalWindow::anyJobRunning() const {
    return fetchSheet.running || listSheet.running || kdtSheet.running ||
           fundamentalSheet.running || financeSheet.running || historiesSheet.running;
}

const JobSheet* CMetalWindow::jobSheet(int32_t sheet) const {
    switch (sheet) {
    case kFetchSheet:
        return &fetchSheet;
    case kListSheet:
        return &listSheet;
    case kKDTSheet:
        return &kdtSheet;
    case kFundamentalSheet:
        return &fundamentalSheet;
    case kFinanceSheet:
        return &financeSheet;
    case kHistoriesSheet:
        return &historiesSheet;
    default:
        return nullptr;
    }
}

int32_t CMetalWindow::DoAppCommandProcess(uint32_t command) {
    if (m_folderInUse && UsesFolder(command)) {
        ShowFolderInUse(mainWindow);
        return 0;
    }
    // The jobs that work through the fetch list need at least one page; an
    // empty list was reported when the window opened.
    const bool hasFetchList = HasFetchList();
    const bool idle = !anyJobRunning();
    switch (command) {
    case FourCharCode("fech"):
        if (idle && hasFetchList)
            DoFetchData(g_fetchData);
        return 0;
    case FourCharCode("list"):
        if (idle)
            DoMakeList();
        return 0;
    case FourCharCode("mkdt"):
        if (idle)
            DoMakeKDT();
        return 0;
    case FourCharCode("fund"):
        if (idle && hasFetchList)
            DoMakeFundamental();
        return 0;
    case FourCharCode("fina"):
        if (idle && hasFetchList)
            DoMakeFinance();
        return 0;
    case FourCharCode("mkda"):
        if (idle && hasFetchList)
            DoUpdateHistories();
        return 0;
    case FourCharCode("kdup"):
        DoToggleUpdateHistories();
        return 0;
    case FourCharCode("fccn"):
        EndFetchData();
        EndMakeList();
        EndMakeKDT();
        EndMakeFundamental();
        EndMakeFinance();
        EndUpdateHistories();
        m_shownSheet = kNoSheet;
        return 0;
    case FourCharCode("disp"):
        DoDisp();
        return 0;
    case FourCharCode("chrt"):
        DoChart();
        return 0;
    case FourCharCode("chkd"):
        if (makeKDT)
            ShowChart(makeKDT->getCode());
        return 0;
    case FourCharCode("save"):
        DoSave();
        return 0;
    case FourCharCode("svas"):
        DoSaveAs();
        return 0;
    case FourCharCode("pref"):
        DoPreferences();
        return 0;
    case FourCharCode("abou"):
        DoAboutBox();
        return 0;
    case FourCharCode("clos"):
    case FourCharCode("quit"):
        QuitApplicationEventLoop();
        return 0;
    default:
        return eventNotHandledErr;
    }
}

void CMetalWindow::DoPreferences() {
    CVezizoPreferencesDialog dialog(mainWindow);
    dialog.DoModal();
}

void CMetalWindow::DoAboutBox() {
    CVezizoAboutDialog dialog;
    dialog.DoModal();
}

void CMetalWindow::HideSheetWindow() {
    TransitionWindowResize(mainWindow, kIdleWidth, kIdleHeight);
    for (WindowRef sheet : {fetchSheet.window, dispSheet, listSheet.window, kdtSheet.window,
                            fundamentalSheet.window, financeSheet.window, historiesSheet.window})
        HideWindow(sheet);
}

void CMetalWindow::StartIdling(double interval) {
    StopIdling();
    idleTimer = InstallEventLoopTimer(0.0, interval, [] {
        if (s_thisWin)
            s_thisWin->myTimerEvent();
    });
}

void CMetalWindow::StopIdling() {
    RemoveEventLoopTimer(idleTimer);
    idleTimer = nullptr;
}

void CMetalWindow::SetRequestInterval(int32_t intervalMs) {
    http->setInterval(intervalMs);
}

void CMetalWindow::myTimerEvent() {
    if (fetchSheet.running)
        ProgressFetchData();
    else if (listSheet.running)
        ProgressMakeList();
    else if (kdtSheet.running)
        ProgressMakeKDT();
    else if (fundamentalSheet.running)
        ProgressMakeFundamental();
    else if (financeSheet.running)
        ProgressMakeFinance();
    else if (historiesSheet.running)
        ProgressUpdateHistories();
}

JobSheet* CMetalWindow::RunningSheet() {
    for (JobSheet* sheet :
         {&fetchSheet, &listSheet, &kdtSheet, &fundamentalSheet, &financeSheet, &historiesSheet})
        if (sheet->running)
            return sheet;
    return nullptr;
}

void CMetalWindow::TellWait(const DownloadWait& wait) {
    // A download a cancelled job left running has no one to tell.
    JobSheet* sheet = RunningSheet();
    if (!sheet)
        return;
    JobNotice(*sheet, "the service asks us to wait " + std::to_string(wait.seconds) + " s (HTTP " +
                          std::to_string(wait.httpStatus) + ", wait " + std::to_string(wait.nWait) +
                          " of " + std::to_string(CDownloadPacer::kMaxWaits) + ")");
}

DownloadOutcome CMetalWindow::DoGetComplete(const std::string& url, const std::string& path) {
    return http->OpenURLComplete(url, path);
}

bool CMetalWindow::DoSave(int32_t* nKept) {
    return currentFetchData && currentFetchData->Save(g_startupPath, g_Preferences->fileFormat,
                                                      g_Preferences->GetCreator(), nKept);
}

// --- The job life cycle -------------------------------------------------

void CMetalWindow::ShowJobSheet(JobSheet& sheet) {
    HideSheetWindow();
    TransitionWindowResize(mainWindow, kJobWidth, kJobHeight);
    ShowWindow(sheet.window);
}

void CMetalWindow::BeginJob(JobSheet& sheet, void (CMetalWindow::*startProgress)(),
                            int32_t sheetNumber, const std::string& host) {
    m_outcome.Begin(host);
    SetHeading(sheet, kHeadingRunning);
    SetControlText(sheet.statusText, "");
    if (!sheet.running) {
        sheet.running = 1;
        (this->*startProgress)();
    }
    m_shownSheet = sheetNumber;
}

std::string CMetalWindow::WebTempPath(const char* webtempName) {
    return g_startupPath + "/webtemp/" + webtempName;
}

void CMetalWindow::StartPageDownload(const char* url, const char* webtempName) {
    http->OpenURL(url, WebTempPath(webtempName));
}

void CMetalWindow::StartProgress(JobSheet& sheet) {
    pageIndex = 0;
    StartIdling(idleInterval);
    SetControl32BitMaximum(sheet.progressBar, pageCount);
    SetControl32BitValue(sheet.progressBar, pageIndex);
    for (ControlRef button : mainButtons)
        DeactivateControl(button);
    ActivateControl(sheet.cancelButton);
    ShowControl(sheet.busyIndicator);
}

void CMetalWindow::EndProgress(JobSheet& sheet) {
    pageIndex = 0;
    StopIdling();
    SetControl32BitValue(sheet.progressBar, 0);
    DeactivateControl(sheet.cancelButton);
    for (ControlRef button : mainButtons)
        ActivateControl(button);
    HideControl(sheet.busyIndicator);
    sheet.running = 0;
}

void CMetalWindow::JobNotice(JobSheet& sheet, std::string notice) {
    SetControlText(sheet.statusText, notice.c_str());
    m_outcome.AddNotice(std::move(notice));
}

void CMetalWindow::EndJob(JobSheet& sheet, void (CMetalWindow::*endProgress)()) {
    if (!sheet.running)
        return;
    sheet.running = 0;
    m_outcome.End(CJobOutcome::kCancelled, "cancelled");
    switch (m_outcome.result()) {
    case CJobOutcome::kDone:
        SetHeading(sheet, kHeadingDone);
        break;
    case CJobOutcome::kPartial:
        SetHeading(sheet, kHeadingPartial);
        break;
    case CJobOutcome::kCancelled:
        SetHeading(sheet, kHeadingCancelled);
        break;
    default:
        SetHeading(sheet, kHeadingFailed);
        break;
    }
    SetControlText(sheet.statusText, m_outcome.message().c_str());
    (this->*endProgress)();
}

void CMetalWindow::SetCount(ControlRef text, int32_t count) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", count);
    SetControlText(text, digits);
}
