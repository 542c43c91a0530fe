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

static constexpr double kIdleInterval = 0.1;
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

static void ShowFolderInUse(WindowRef window) {
    ShowCautionAlertSheet(window, CFolderLock::InUseMessage(g_startupPath).c_str());
}

CMetalWindow::CMetalWindow(bool folderInUse) : m_folderInUse(folderInUse) {
    s_thisWin = this;
    g_mainWindow = this;
    Initialize();
    MakeWindow();
    MakeMenu();
    InstallAppEvents();
    http = new CHTTPAccess(g_Preferences->useProxy != 0, g_Preferences->proxyHost,
                           g_Preferences->proxyPort);
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

bool CMetalWindow::LoadSheet(JobSheet& sheet, const char* name, uint32_t signature) {
    sheet.window = CreateWindowFromNib(name);
    if (!sheet.window)
        return false;
    AttachSheetToWindow(sheet.window, mainWindow);
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
    if (!LoadSheet(fetchSheet, "FetchSheet", FourCharCode("fech")) ||
        !LoadSheet(listSheet, "MakeListSheet", FourCharCode("flst")) ||
        !LoadSheet(kdtSheet, "MakeKDTSheet", FourCharCode("fkdt")) ||
        !LoadSheet(fundamentalSheet, "MakeFundamentalSheet", FourCharCode("fund")) ||
        !LoadSheet(financeSheet, "MakeFinanceSheet", FourCharCode("fina")) ||
        !LoadSheet(historiesSheet, "UpdateHistoriesSheet", FourCharCode("fkda")))
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

    if (m_folderInUse)
        ShowFolderInUse(mainWindow);
    else if (!HasFetchList())
        ShowCautionAlertSheet(mainWindow, kNoFetchListMessage);
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
    StartIdling(kIdleInterval);
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
    m_outcome.End(CJobOutcome::kFailed, "cancelled");
    SetControlText(sheet.statusText, m_outcome.message().c_str());
    (this->*endProgress)();
}

void CMetalWindow::SetCount(ControlRef text, int32_t count) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", count);
    SetControlText(text, digits);
}
