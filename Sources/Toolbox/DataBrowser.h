// A sortable multi-column list whose rows are item numbers; the application
// supplies each cell's text, the sort order and what a selection does through
// callbacks. The columns are the view's "columns" property in the interface
// description: one four-character property code per column (titles in
// "titles").
#pragma once

#include "ToolboxTypes.h"

#include <functional>
#include <string>

class QMenu;

using DataBrowserItemID = uint32_t;
using DataBrowserPropertyID = uint32_t;

// Where an item-data callback puts a cell's text (system text encoding).
struct DataBrowserItemData {
    std::string text;
};
int32_t SetDataBrowserItemDataText(DataBrowserItemData& data, const char* sjisText);

// Message of a notification callback when a row has been selected.
constexpr uint32_t kDataBrowserItemSelected = 5;
// Message of a notification callback when a row has been double-clicked.
constexpr uint32_t kDataBrowserItemDoubleClicked = 7;

struct DataBrowserCallbacks {
    // Fills data for (item, property); returns 0 or an error. setValue is a
    // request to change the value, which the list never makes itself.
    std::function<int32_t(DataBrowserItemID item, DataBrowserPropertyID property,
                          DataBrowserItemData& data, bool setValue)>
        itemData;
    // True when item a sorts before item b by property.
    std::function<bool(DataBrowserItemID a, DataBrowserItemID b, DataBrowserPropertyID property)>
        compare;
    std::function<void(DataBrowserItemID item, uint32_t message)> notification;
    // The command of the item chosen from the contextual menu of a row.
    std::function<void(DataBrowserItemID item, uint32_t command)> contextualMenuCommand;
};

// Installs the callbacks on the list control (a QTreeView of the description).
int32_t SetDataBrowserCallbacks(ControlRef list, const DataBrowserCallbacks& callbacks);
// Gives the rows a contextual menu, which the list takes: a right-click on a
// row opens it without selecting the row, and choosing an item calls
// contextualMenuCommand with the row's item and the command of the menu item.
int32_t SetDataBrowserContextualMenu(ControlRef list, QMenu* menu);
// Adds the items not yet in the list, unsorted, at the top level.
int32_t AddDataBrowserItems(ControlRef list, const DataBrowserItemID* items, uint32_t count);
// Removes every item.
int32_t RemoveAllDataBrowserItems(ControlRef list);
uint32_t GetDataBrowserItemCount(ControlRef list);
// Sorts by the column of property (ascending unless descending).
void SetDataBrowserSortProperty(ControlRef list, DataBrowserPropertyID property, bool descending);
// The item shown in row (after sorting), for tests and printing.
DataBrowserItemID GetDataBrowserItemAtRow(ControlRef list, uint32_t row);
// The text the list shows for item and property, in UTF-8.
std::string GetDataBrowserCellText(ControlRef list, DataBrowserItemID item,
                                   DataBrowserPropertyID property);
// Redraws every cell from the callbacks.
void UpdateDataBrowserItems(ControlRef list);
