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
    const double nan = std::nan(""), inf = HUGE_VAL;
    const uint32_t name = FourCharCode("name"), mark = FourCharCode("mark"),
                   open = FourCharCode("cv1 "), close = FourCharCode("cv4 "),
                   volume = FourCharCode("cvc ");
    record[2].market = -1;
    // clang-format off
    // Each record's close and volume, and the cells they show: truncated toward
    // zero, beyond 32 bits, NaN and infinities as 0, beyond 64 bits clamped.
    const std::tuple<double, double, const char*> cells[] = {
        {1234.9,             3000000000.0, "1234|3000000000"},
        {std::ldexp(1., 40), nan,          "1099511627776|0"},
        {-1.5,               0,            "-1|0"},
        {1e30,               inf,          "9223372036854775807|0"}};
    // Item a sorts before item b by property: names by their first two
    // characters as unsigned bytes, markets signed, NaN as 0, open in list order.
    const std::tuple<DataBrowserItemID, DataBrowserItemID, uint32_t, bool> orders[] = {
        {0, 1, name, false}, {1, 0, name, false}, {3, 0, name, true},   {2, 0, mark, true},
        {1, 0, volume, true}, {0, 3, close, true}, {3, 0, open, false}, {10000, 0, open, false}};
    // clang-format on
    const auto cell = [list](auto i, uint32_t p) { return GetDataBrowserCellText(list, i, p); };
    for (DataBrowserItemID i = 0; i < 4; ++i) {
        std::tie(record[i].close, record[i].volume, std::ignore) = cells[i];
        EXPECT_EQ(cell(i, close) + "|" + cell(i, volume), std::get<2>(cells[i]));
    }
    EXPECT_EQ(cell(0, name) + "|" + cell(2, mark) + "|" + cell(10000, close), "1301 東京電力|X|");
    for (const auto& [a, b, property, before] : orders)
        EXPECT_EQ(CMetalWindow::MyItemComparison(list, a, b, property), before)
            << a << " " << b << " " << property;
}

// Selecting a row (a click, an arrow key) opens its quote page; the list
// gaining the focus (Qt then makes a row current) selects nothing, nor does
// the right-click of the contextual menu, which charts the row. A row whose
// quote code was refused has no page.
TEST_F(QuoteListTest, RowsOpenTheirPageAndTheirChart) {
    start("7203,7203,T,TOYOTA\n6758,6758,O,SONY\n8001&x=1,8001,T,REFUSED\n");
    ASSERT_TRUE(writeKD(6758, RisingDays(30)));
    UrlCatcher browser;
    EXPECT_EQ(send("disp"), 0);
    auto* view = static_cast<QTreeView*>(controller().quoteListControl());
    const QPoint at = view->visualRect(view->model()->index(1, 1)).center();

    mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == mainWindow(); }));
    view->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), view);
    EXPECT_TRUE(view->currentIndex().isValid());
    SendMouse(view->viewport(), {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}, at,
              Qt::RightButton);
    QContextMenuEvent contextual(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->viewport(), &contextual);
    QMenu* menu = view->findChild<QMenu*>();
    ASSERT_TRUE(menu && menu->isVisible() && menu->actions().size() == 1);
    menu->actions().at(0)->trigger();
    ASSERT_NE(controller().chart(), nullptr);
    EXPECT_EQ(controller().chart()->getWindow()->windowTitle(), "6758 SONY");
    EXPECT_TRUE(browser.urls.isEmpty());

    SendMouse(view->viewport(), {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}, at,
              Qt::LeftButton);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &up);
    const QString service = "http://" + m_sim->hostPort() + "/q?s=";
    EXPECT_EQ(browser.urls, (QList<QUrl>{service + "6758&d=b", service + "7203&d=b"}));
    // Sorting moves the selected row without selecting it again.
    SetDataBrowserSortProperty(view, FourCharCode("cv4 "), true);
    CMetalWindow::MyItemNotification(view, 2, kDataBrowserItemSelected);
    CMetalWindow::MyItemNotification(view, 1, 4); // not a selection
    CMetalWindow::MyItemNotification(view, 10000, kDataBrowserItemSelected);
    EXPECT_EQ(browser.urls.size(), 2);
}

#include "QuoteListTest.moc"
