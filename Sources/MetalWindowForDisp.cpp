// The quote list of the display sheet: one row per code of the fetch list,
// each cell read from the live records whenever the list draws or sorts it.
#include "Fetch/FetchData.h"
#include "Fetch/MarketConv.h"
#include "Fetch/QuoteServers.h"
#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

static constexpr int32_t kDispWidth = 641, kDispHeight = 516;

namespace {

// The record behind a row, or null for a row without one.
const CTesselRec* RecordOfItem(DataBrowserItemID item) {
    if (item > CMetalWindow::kLastListItem || !g_fetchData)
        return nullptr;
    const CPageData* page = g_fetchData->getPage(int32_t(item / CPageData::kSlots));
    return page ? page->getTesselRec(int32_t(item % CPageData::kSlots)) : nullptr;
}

// A price or volume as a whole number, truncated toward zero. Pages are
// hostile: NaN and infinities count as 0, and a value that does not fit 64
// bits is clamped.
long long WholeNumber(double value) {
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (!std::isfinite(value))
        return 0;
    if (value >= kTwoTo63)
        return std::numeric_limits<long long>::max();
    if (value < -kTwoTo63)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(value);
}

// The value a number column sorts by: NaN and infinities as the 0 they
// show, so that NaN cannot break the sort's ordering.
double SortValue(double value) {
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

void CMetalWindow::DoDisp() {
    if (m_shownSheet == kDispSheet)
        return;
    HideSheetWindow();

    int32_t codes = 0;
    for (int32_t i = 0; i < g_fetchData->nPages(); ++i)
        codes += g_fetchData->getPage(i)->nCodes();
    // Nothing fetched in this run: show the pages stored by the last one.
    if (g_fetchData->nExtracted() == 0)
        ReloadFetchData(g_fetchData);

    // The rows are put in afresh, so each code is listed once and sorted by
    // its present values.
    std::vector<DataBrowserItemID> items(size_t(codes > 0 ? codes : 0));
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = DataBrowserItemID(i);
    RemoveAllDataBrowserItems(quoteList);
    AddDataBrowserItems(quoteList, items.data(), uint32_t(items.size()));

    TransitionWindowResize(mainWindow, kDispWidth, kDispHeight);
    ShowWindow(dispSheet);
    m_shownSheet = kDispSheet;
}

int32_t CMetalWindow::MyGetSetItemData(ControlRef, DataBrowserItemID item,
                                       DataBrowserPropertyID property,
                                       DataBrowserItemData& itemData, bool changeValue) {
    if (changeValue)
        return errDataBrowserPropertyNotSupported;
    const CTesselRec* record = RecordOfItem(item);
    if (!record)
        return 0;

    char text[80];
    double number;
    switch (property) {
    case FourCharCode("name"):
        std::snprintf(text, sizeof text, "%d %s", record->code, record->name);
        return SetDataBrowserItemDataText(itemData, text);
    case FourCharCode("mark"):
        g_marketConv->LocalCodeToFetchCode(record->market, text);
        return SetDataBrowserItemDataText(itemData, text);
    case FourCharCode("cv1 "):
        number = record->open;
        break;
    case FourCharCode("cv2 "):
        number = record->high;
        break;
    case FourCharCode("cv3 "):
        number = record->low;
        break;
    case FourCharCode("cv4 "):
        number = record->close;
        break;
    case FourCharCode("cvc "):
        number = record->volume;
        break;
    default:
        return errDataBrowserPropertyNotSupported;
    }
    std::snprintf(text, sizeof text, "%lld", WholeNumber(number));
    return SetDataBrowserItemDataText(itemData, text);
}

bool CMetalWindow::MyItemComparison(ControlRef, DataBrowserItemID itemOne,
                                    DataBrowserItemID itemTwo, DataBrowserPropertyID sortProperty) {
    const CTesselRec* one = RecordOfItem(itemOne);
    const CTesselRec* two = RecordOfItem(itemTwo);
    if (!one || !two)
        return false;
    switch (sortProperty) {
    case FourCharCode("name"):
        // By the first two Shift-JIS characters, as unsigned bytes.
        return std::strncmp(one->name, two->name, 4) < 0;
    case FourCharCode("mark"):
        return one->market < two->market;
    case FourCharCode("cv4 "):
        return SortValue(one->close) < SortValue(two->close);
    case FourCharCode("cvc "):
        return SortValue(one->volume) < SortValue(two->volume);
    default:
        // Open, high and low keep the order of the fetch list.
        return itemOne < itemTwo;
    }
}

void CMetalWindow::MyItemNotification(ControlRef, DataBrowserItemID item, uint32_t message) {
    const CTesselRec* record = RecordOfItem(item);
    if (!record)
        return;
    if (message == kDataBrowserItemSelected && record->quoteCode[0] != '\0') {
        // The quote server's page of the stock (none for a line whose code
        // was refused); the browser is told the scheme.
        const std::string url = QuoteHost() + "/q?s=" + record->quoteCode + "&d=b";
        LaunchURL(url.c_str());
    } else if (message == kDataBrowserItemDoubleClicked && g_mainWindow) {
        g_mainWindow->ShowChart(record->code);
    }
}

void CMetalWindow::MyContextualMenuCommand(ControlRef, DataBrowserItemID item, uint32_t command) {
    const CTesselRec* record = RecordOfItem(item);
    if (record && command == FourCharCode("chrt") && g_mainWindow)
        g_mainWindow->ShowChart(record->code);
}
