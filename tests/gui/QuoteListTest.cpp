// The quote list of the display sheet: rows by item number, cells from the
// live records, the sort rules and the quote page opened in the browser.
#include "SimGuiTestBase.h"

#include "Fetch/FetchData.h"
#include "MetalWindow.h"
#include "UrlCatcher.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>
#include <QUrl>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr DataBrowserPropertyID kName = FourCharCode("name");
constexpr DataBrowserPropertyID kMark = FourCharCode("mark");
constexpr DataBrowserPropertyID kOpen = FourCharCode("cv1 ");
constexpr DataBrowserPropertyID kClose = FourCharCode("cv4 ");
constexpr DataBrowserPropertyID kVolume = FourCharCode("cvc ");

} // namespace

class QuoteListTest : public SimGuiTestBase {
protected:
    ControlRef list() { return controller().quoteListControl(); }
    std::string cell(DataBrowserItemID item, DataBrowserPropertyID property) {
        return GetDataBrowserCellText(list(), item, property);
    }
    std::vector<DataBrowserItemID> order() {
        std::vector<DataBrowserItemID> items;
        for (uint32_t row = 0; row < GetDataBrowserItemCount(list()); ++row)
            items.push_back(GetDataBrowserItemAtRow(list(), row));
        return items;
    }
    static CTesselRec& record(int32_t item) {
        return *g_fetchData->getPage(item / 50)->getTesselRec(item % 50);
    }
    // Whether the rows, in the list's order, never decrease by key.
    template <typename Key> bool sortedBy(Key key, bool descending) {
        const std::vector<DataBrowserItemID> items = order();
        for (size_t i = 1; i < items.size(); ++i) {
            const auto before = key(items[i - 1]), after = key(items[i]);
            if (descending ? after > before : after < before)
                return false;
        }
        return true;
    }
};

TEST_F(QuoteListTest, RowsShowTheFetchedRecordsAndSort) {
    start(stocks(0, 120));
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    SaveScreenshot(mainWindow(), "FetchSheetAfterRun");
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(controller().shownSheet(), CMetalWindow::kDispSheet);
    EXPECT_TRUE(IsWindowVisible(controller().dispSheetWindow()));

    std::vector<DataBrowserItemID> fetchOrder(120);
    for (DataBrowserItemID i = 0; i < 120; ++i)
        fetchOrder[i] = i;
    EXPECT_EQ(order(), fetchOrder);

    // Row 75 is record 25 of page 1.
    const SimStock& stock = TestSimMarket().stocks().at(75);
    const SimDay day = TestSimMarket().today(stock);
    EXPECT_EQ(QString::fromStdString(cell(75, kName)),
              QStringLiteral("%1 %2").arg(stock.code).arg(stock.name));
    EXPECT_EQ(QString::fromStdString(cell(75, kMark)),
              CSimMarket::markets().at(stock.market).fetchCode);
    EXPECT_EQ(cell(75, kClose), std::to_string(day.close / 10));
    EXPECT_EQ(cell(75, kVolume), std::to_string(day.volume));
    EXPECT_EQ(record(75).code, stock.code);

    for (bool descending : {false, true}) {
        SetDataBrowserSortProperty(list(), kClose, descending);
        EXPECT_TRUE(sortedBy([](int32_t i) { return record(i).close; }, descending));
        SetDataBrowserSortProperty(list(), kVolume, descending);
        EXPECT_TRUE(sortedBy([](int32_t i) { return record(i).volume; }, descending));
        SetDataBrowserSortProperty(list(), kMark, descending);
        EXPECT_TRUE(sortedBy([](int32_t i) { return record(i).market; }, descending));
        // Open keeps the fetch list's order.
        SetDataBrowserSortProperty(list(), kOpen, descending);
        EXPECT_TRUE(sortedBy([](int32_t i) { return i; }, descending));
    }

    SaveScreenshot(mainWindow(), "QuoteList");

    // Shown again after another sheet, the list still has each code once.
    EXPECT_EQ(send("fccn"), 0);
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(GetDataBrowserItemCount(list()), 120u);
}

TEST_F(QuoteListTest, AfterARestartTheStoredPagesAreShown) {
    start(stocks(0, 60));
    EXPECT_EQ(send("fech"), 0);
    ASSERT_TRUE(waitForFetchEnd());
    const std::string close = cell(55, kClose);
    ASSERT_NE(close, "0");

    m_app.ShutDown();
    ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString()));
    EXPECT_EQ(g_fetchData->getPage(1)->nExtracted(), 0);
    EXPECT_EQ(send("disp"), 0);
    EXPECT_EQ(GetDataBrowserItemCount(list()), 60u);
    EXPECT_EQ(cell(55, kClose), close);
    EXPECT_EQ(g_fetchData->getPage(1)->nExtracted(), 10);
}

TEST_F(QuoteListTest, CellsAndSortRulesOfTheRecords) {
    // "東京" starts both Japanese names; "A" sorts before any double-byte
    // character when bytes are compared unsigned.
    start("1301,1301,T,\x93\x8c\x8b\x9e\x93\x64\x97\xcd\n" // 東京電力
          "1302,1302,T,\x93\x8c\x8b\x9e\x83\x4b\x83\x58\n" // 東京ガス
          "1303,1303,T,ABCD\n"
          "1304,1304,T,ABCE\n");
    EXPECT_EQ(send("disp"), 0);
    ASSERT_EQ(GetDataBrowserItemCount(list()), 4u);

    record(0).close = 1234.9;
    record(0).volume = 3000000000.0; // beyond a 32-bit integer
    record(1).close = std::ldexp(1.0, 40);
    record(1).volume = std::numeric_limits<double>::quiet_NaN();
    record(2).close = -1.5;
    record(2).market = -1;
    record(3).close = 1e30;
    record(3).volume = std::numeric_limits<double>::infinity();
    EXPECT_EQ(cell(0, kClose), "1234");
    EXPECT_EQ(cell(0, kVolume), "3000000000");
    EXPECT_EQ(cell(1, kClose), "1099511627776");
    EXPECT_EQ(cell(1, kVolume), "0");
    EXPECT_EQ(cell(2, kClose), "-1");
    EXPECT_EQ(cell(3, kClose), "9223372036854775807");
    EXPECT_EQ(cell(3, kVolume), "0");
    EXPECT_EQ(cell(2, kName), "1303 ABCD");
    EXPECT_EQ(cell(0, kName), "1301 東京電力");
    EXPECT_EQ(cell(2, kMark), "X"); // a market outside the table
    EXPECT_EQ(cell(0, kOpen), "0");

    auto before = [this](DataBrowserItemID a, DataBrowserItemID b, DataBrowserPropertyID p) {
        return CMetalWindow::MyItemComparison(list(), a, b, p);
    };
    EXPECT_FALSE(before(0, 1, kName)); // equal by their first two characters
    EXPECT_FALSE(before(1, 0, kName));
    EXPECT_TRUE(before(2, 3, kName));
    EXPECT_TRUE(before(3, 0, kName));   // unsigned: "A" before 0x93
    EXPECT_TRUE(before(2, 0, kMark));   // signed: -1 before 0
    EXPECT_TRUE(before(1, 0, kVolume)); // NaN sorts as the 0 it shows
    EXPECT_TRUE(before(2, 0, kClose));
    EXPECT_TRUE(before(0, 3, kClose));
    EXPECT_TRUE(before(0, 3, kOpen)); // fetch-list order is by item number
    EXPECT_FALSE(before(3, 0, kOpen));

    // Beyond item 9999 there is no record; a change is refused.
    DataBrowserItemData data;
    EXPECT_EQ(CMetalWindow::MyGetSetItemData(list(), 10000, kClose, data, false), 0);
    EXPECT_EQ(data.text, "");
    EXPECT_FALSE(before(10000, 0, kOpen));
    EXPECT_EQ(CMetalWindow::MyGetSetItemData(list(), 0, kClose, data, true),
              errDataBrowserPropertyNotSupported);
    EXPECT_EQ(CMetalWindow::MyGetSetItemData(list(), 0, FourCharCode("what"), data, false),
              errDataBrowserPropertyNotSupported);
}

// The page opens when the user selects a row: a click, an arrow key. The list
// gaining the keyboard focus (Qt then makes a row current) selects nothing.
TEST_F(QuoteListTest, SelectingARowOpensItsQuotePage) {
    start("7203,7203,T,TOYOTA\n6758,6758,O,SONY\n8001&x=1,8001,T,REFUSED\n");
    UrlCatcher catcher;
    EXPECT_EQ(send("disp"), 0);
    auto* view = qobject_cast<QTreeView*>(list());
    ASSERT_NE(view, nullptr);
    const auto page = [this](const char* code) {
        return QUrl(QStringLiteral("http://%1/q?s=%2&d=b").arg(m_sim->hostPort(), code));
    };
    const auto key = [](QWidget* widget, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    };

    mainWindow()->activateWindow();
    ASSERT_TRUE(waitUntil([this] { return QApplication::activeWindow() == mainWindow(); }));
    controller().mainButton(2)->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 5 && QApplication::focusWidget() != view; ++i)
        key(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), view);
    EXPECT_TRUE(view->currentIndex().isValid());
    EXPECT_TRUE(catcher.urls.isEmpty());

    const auto click = [view](int row) {
        const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view->viewport(), &event);
        }
    };
    click(1);
    EXPECT_EQ(catcher.urls, QList<QUrl>{page("6758")});
    key(view, Qt::Key_Up);
    EXPECT_EQ(catcher.urls, (QList<QUrl>{page("6758"), page("7203")}));
    // Sorting moves the selected row without selecting it again.
    SetDataBrowserSortProperty(list(), kClose, true);
    EXPECT_EQ(catcher.urls.size(), 2);

    // A row whose quote code was refused has no page; other messages and rows
    // without a record open nothing.
    catcher.urls.clear();
    CMetalWindow::MyItemNotification(list(), 2, kDataBrowserItemSelected);
    CMetalWindow::MyItemNotification(list(), 1, 4);
    CMetalWindow::MyItemNotification(list(), 10000, kDataBrowserItemSelected);
    EXPECT_TRUE(catcher.urls.isEmpty());
}
