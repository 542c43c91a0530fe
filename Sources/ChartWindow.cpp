#include "ChartWindow.h"

#include "Fetch/FetchData.h"
#include "Fetch/KDTFile.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <cstdio>
#include <iterator>
#include <vector>

namespace {

// The spans of the range pop-up, in the order of its items (ChartRangeMenu).
struct ChartRange {
    uint32_t command;
    int32_t days; // trading days; 0 for all
};
const ChartRange s_ranges[] = {
    {FourCharCode("cr1m"), 20},  {FourCharCode("cr3m"), 60},  {FourCharCode("cr6m"), 120},
    {FourCharCode("cr1y"), 250}, {FourCharCode("cr2y"), 500}, {FourCharCode("cr5y"), 1250},
    {FourCharCode("cral"), 0},
};

// What the window says in place of a chart (UTF-8).
std::string ProblemMessage(int32_t status, const std::string& name, int64_t size) {
    char text[512];
    switch (status) {
    case kKDTFileMissing:
        std::snprintf(text, sizeof text,
                      "%s がありません。\n取得メニューの「時系列取得…」で作ることができます。",
                      name.c_str());
        break;
    case kKDTFileEmpty:
        std::snprintf(text, sizeof text, "%s は空です（0 バイト）。", name.c_str());
        break;
    case kKDTFileBadSize:
        std::snprintf(text, sizeof text,
                      "%s は壊れています。\n大きさ %lld バイトが 1 日分の 26 バイトの倍数では"
                      "ありません。",
                      name.c_str(), static_cast<long long>(size));
        break;
    case kKDTFileTooLarge:
        std::snprintf(text, sizeof text, "%s は株価の履歴として大きすぎます（%lld バイト）。",
                      name.c_str(), static_cast<long long>(size));
        break;
    default:
        std::snprintf(text, sizeof text, "%s を読めません。", name.c_str());
        break;
    }
    return text;
}

} // namespace

CChartWindow::CChartWindow() {
    window = CreateWindowFromNib("ChartWindow");
    if (!window)
        return;
    chart = GetControlByID(window, FourCharCode("chrt"), 11);
    rangePopup = GetControlByID(window, FourCharCode("chrt"), 2);
    AttachMenuToPopup(rangePopup, CreateMenuFromNib("ChartRangeMenu"));
    SetRange(kDefaultDays);
    commandHandler =
        InstallCommandHandler([this](uint32_t command) { return DoAppCommandProcess(command); });
}

CChartWindow::~CChartWindow() {
    RemoveCommandHandler(commandHandler);
    DisposeWindow(window);
}

void CChartWindow::ShowStock(int32_t code) {
    const std::string name = KDTFileName(code);
    // The stock's name as the fetch list writes it (Shift-JIS), when listed.
    const CTesselRec* record = g_fetchData ? g_fetchData->FindRecord(code) : nullptr;
    char title[CTesselRec::kNameSize + 16];
    std::snprintf(title, sizeof title, "%04d %s", code, record ? record->name : "");
    SetWindowTitle(window, title);
    SetChartCaption(chart, title);

    std::vector<KDT> days;
    int64_t size = 0;
    const int32_t status = ReadKDTFile(g_startupPath + "/" + name, days, &size);
    m_failure.clear();
    if (status != kKDTFileRead) {
        m_failure = name + ": " + KDTFileStatusText(status);
        if (status == kKDTFileBadSize || status == kKDTFileTooLarge)
            m_failure += " (" + std::to_string(size) + " bytes)";
    }
    SetChartMessage(chart, m_failure.empty() ? "" : ProblemMessage(status, name, size).c_str());
    SetChartDays(chart, std::move(days));
    SetChartVisibleDays(chart, rangeDays);
    SelectWindow(window);
}

void CChartWindow::SetRange(int32_t nDays) {
    rangeDays = nDays;
    for (size_t i = 0; i < std::size(s_ranges); ++i)
        if (s_ranges[i].days == nDays)
            SetPopupValue(rangePopup, int32_t(i) + 1);
    SetChartVisibleDays(chart, rangeDays);
}

int32_t CChartWindow::DoAppCommandProcess(uint32_t command) {
    for (const ChartRange& range : s_ranges) {
        if (range.command == command) {
            SetRange(range.days);
            return 0;
        }
    }
    return eventNotHandledErr;
}
