// The quote list of the display sheet: cells from the live records whatever
// they hold, the sort rules, and the quote page and the chart a row opens.
#include "GuiTestBase.h"

#include "Fetch/FetchData.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

#include <cmath>
#include <limits>
#include <tuple>

using QuoteListTest = SimJobTestBase;

// Takes the URLs the program hands to the web browser while it exists, so
// that the test sees them and no browser starts.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("http", this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// Records no page gives (prices and volumes beyond any integer, NaN, a market
// outside the table) and items without a record; names compare as unsigned
// bytes ("A" before any double-byte character) and by their first two
// characters only; a market signed, a NaN volume as the 0 it shows.
TEST_F(QuoteListTest, CellsAndSortRulesOfAnyRecord) {
    start("1301,1301,T,\x93\x8c\x8b\x9e\x93\x64\x97\xcd\n" // 東京電力
          "1302,1302,T,\x93\x8c\x8b\x9e\x83\x4b\x83\x58\n" // 東京ガス
          "1303,1303,T,ABCD\n1304,1304,T,ABCE\n");
    EXPECT_EQ(send("disp"), 0);
    ControlRef list = controller().quoteListControl();
    ASSERT_EQ(GetDataBrowserItemCount(list), 4u);
    CTesselRec* record = g_fetchData->getPage(0)->getTesselRec(0); // the page's array
    record[0].close = 1234.9;
    record[0].volume = 3000000000.0; // beyond a 32-bit integer
    record[1].close = std::ldexp(1.0, 40);
    record[1].volume = std::numeric_limits<double>::quiet_NaN();
    record[2].close = -1.5;
    record[2].market = -1;
    record[3].close = 1e30;
    record[3].volume = std::numeric_limits<double>::infinity();
    const uint32_t name = FourCharCode("name"), mark = FourCharCode("mark"),
                   open = FourCharCode("cv1 "), close = FourCharCode("cv4 "),
                   volume = FourCharCode("cvc ");
    using Cell = std::tuple<DataBrowserItemID, uint32_t, const char*>;
    for (const auto& [item, property, shown] :
         {Cell{0, close, "1234"}, Cell{0, volume, "3000000000"}, Cell{1, close, "1099511627776"},
          Cell{1, volume, "0"}, Cell{2, close, "-1"}, Cell{3, close, "9223372036854775807"},
          Cell{3, volume, "0"}, Cell{0, name, "1301 東京電力"}, Cell{2, mark, "X"},
          Cell{10000, close, ""}})
        EXPECT_EQ(GetDataBrowserCellText(list, item, property), shown) << item << " " << shown;
    using Order = std::tuple<DataBrowserItemID, DataBrowserItemID, uint32_t, bool>;
    for (const auto& [a, b, property, before] :
         {Order{0, 1, name, false}, Order{1, 0, name, false}, Order{3, 0, name, true},
          Order{2, 0, mark, true}, Order{1, 0, volume, true}, Order{0, 3, close, true},
          Order{3, 0, open, false}, Order{10000, 0, open, false}})
        EXPECT_EQ(CMetalWindow::MyItemComparison(list, a, b, property), before)
            << a << " " << b << " " << property;
}

// Selecting a row (a click, an arrow key) opens its quote page; the list
// gaining the focus (Qt then makes a row current) selects nothing, nor does
// the right-click of the contextual menu, which charts the row. A row whose
// quote code was refused has no page.
TEST_F(QuoteListTest, RowsOpenTheirPageAndTheirChart) {
    start("7203,7203,T,TOYOTA\n6758,6758,O,SONY\n8001&x=1,8001,T,REFUSED\n");
    ASSERT_TRUE(WriteKDFile(path("KD6758.KDT"), RisingDays(30)));
    UrlCatcher browser;
    EXPECT_EQ(send("disp"), 0);
    auto* view = static_cast<QTreeView*>(controller().quoteListControl());
    const auto page = [this](const char* code) {
        return QUrl(QStringLiteral("http://%1/q?s=%2&d=b").arg(m_sim->hostPort(), code));
    };
    const auto key = [](QWidget* widget, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
    };
    const QPoint at = view->visualRect(view->model()->index(1, 1)).center();
    const auto click = [view, at](Qt::MouseButton button) {
        SendMouse(view->viewport(), {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}, at,
                  button);
    };

    mainWindow()->activateWindow();
    ASSERT_TRUE(waitUntil([this] { return QApplication::activeWindow() == mainWindow(); }));
    controller().mainButton(2)->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 5 && QApplication::focusWidget() != view; ++i)
        key(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), view);
    EXPECT_TRUE(view->currentIndex().isValid());
    click(Qt::RightButton);
    QContextMenuEvent contextual(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->viewport(), &contextual);
    QMenu* menu = view->findChild<QMenu*>();
    ASSERT_TRUE(menu && menu->isVisible() && menu->actions().size() == 1);
    menu->actions().at(0)->trigger();
    ASSERT_NE(controller().chart(), nullptr);
    EXPECT_EQ(controller().chart()->getWindow()->windowTitle(), "6758 SONY");
    EXPECT_TRUE(browser.urls.isEmpty());

    click(Qt::LeftButton);
    key(view, Qt::Key_Up);
    EXPECT_EQ(browser.urls, (QList<QUrl>{page("6758"), page("7203")}));
    // Sorting moves the selected row without selecting it again.
    SetDataBrowserSortProperty(view, FourCharCode("cv4 "), true);
    CMetalWindow::MyItemNotification(view, 2, kDataBrowserItemSelected);
    CMetalWindow::MyItemNotification(view, 1, 4); // not a selection
    CMetalWindow::MyItemNotification(view, 10000, kDataBrowserItemSelected);
    EXPECT_EQ(browser.urls.size(), 2);
}

#include "QuoteListTest.moc"
