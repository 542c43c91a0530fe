// The sortable list of item numbers with its three callbacks.
#include "Toolbox/Toolbox.h"
#include "misclib.h"

#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

class DataBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        dispSheet = CreateWindowFromNib("DispSheet");
        ASSERT_NE(dispSheet, nullptr);
        list = GetControlByID(dispSheet, FourCharCode("disp"), 11);
        ASSERT_NE(list, nullptr);
        DataBrowserCallbacks callbacks;
        callbacks.itemData = [this](DataBrowserItemID item, DataBrowserPropertyID property,
                                    DataBrowserItemData& data, bool setValue) -> int32_t {
            if (setValue)
                return errDataBrowserPropertyNotSupported;
            char text[32];
            if (property == FourCharCode("cv4 "))
                std::snprintf(text, sizeof text, "%d", closes[item]);
            else if (property == FourCharCode("name"))
                std::snprintf(text, sizeof text, "%u \x8a\x94", item); // "株" in Shift-JIS
            else
                return errDataBrowserPropertyNotSupported;
            return SetDataBrowserItemDataText(data, text);
        };
        callbacks.compare = [this](DataBrowserItemID a, DataBrowserItemID b,
                                   DataBrowserPropertyID property) {
            return property == FourCharCode("cv4 ") ? closes[a] < closes[b] : a < b;
        };
        callbacks.notification = [this](DataBrowserItemID item, uint32_t message) {
            notified.emplace_back(item, message);
        };
        ASSERT_EQ(SetDataBrowserCallbacks(list, callbacks), 0);
    }
    void TearDown() override { DisposeWindow(dispSheet); }

    WindowRef dispSheet = nullptr;
    ControlRef list = nullptr;
    int closes[4] = {300, 100, 400, 200};
    std::vector<std::pair<DataBrowserItemID, uint32_t>> notified;
};

TEST_F(DataBrowserTest, RowsCellsSortingAndSelection) {
    const DataBrowserItemID items[] = {0, 1, 2, 3};
    AddDataBrowserItems(list, items, 4);
    AddDataBrowserItems(list, items, 4); // no code is shown twice
    EXPECT_EQ(GetDataBrowserItemCount(list), 4u);

    EXPECT_EQ(GetDataBrowserCellText(list, 2, FourCharCode("cv4 ")), "400");
    EXPECT_EQ(GetDataBrowserCellText(list, 1, FourCharCode("name")), "1 株");
    EXPECT_EQ(GetDataBrowserCellText(list, 1, FourCharCode("mark")), "");

    SetDataBrowserSortProperty(list, FourCharCode("cv4 "), false);
    std::vector<DataBrowserItemID> order;
    for (uint32_t row = 0; row < 4; ++row)
        order.push_back(GetDataBrowserItemAtRow(list, row));
    EXPECT_EQ(order, (std::vector<DataBrowserItemID>{1, 3, 0, 2}));
    SetDataBrowserSortProperty(list, FourCharCode("cv4 "), true);
    EXPECT_EQ(GetDataBrowserItemAtRow(list, 0), 2u);

    auto* view = qobject_cast<QTreeView*>(list);
    view->setCurrentIndex(view->model()->index(1, 0)); // row 1 is item 0 when descending
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].first, 0u);
    EXPECT_EQ(notified[0].second, kDataBrowserItemSelected);
}
