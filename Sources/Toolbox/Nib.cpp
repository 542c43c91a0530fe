#include "Nib.h"

#include "ChartView.h"
#include "CommandEvents.h"
#include "Windows.h"

#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUiLoader>

// The resources live in a static library, so they are registered by hand.
static void InitInterfaceResources() {
    static bool s_done = false;
    if (!s_done) {
        Q_INIT_RESOURCE(main_interface);
        s_done = true;
    }
}

namespace {
// Builds the toolbox's own controls where a description names their class.
class CNibLoader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (className != QLatin1String("CChartView"))
            return QUiLoader::createWidget(className, parent, name);
        auto* chart = new CChartView(parent);
        chart->setObjectName(name);
        return chart;
    }
};
} // namespace

static QWidget* LoadNibFile(const char* name) {
    InitInterfaceResources();
    QFile file(QStringLiteral(":/main/%1.ui").arg(QString::fromUtf8(name)));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    CNibLoader loader;
    return loader.load(&file);
}

WindowRef CreateWindowFromNib(const char* name) {
    QWidget* window = LoadNibFile(name);
    if (!window)
        return nullptr;
    ConnectCommandSources(window);
    // A dialog's close box acts as the button the description names.
    if (uint32_t command =
            CommandFromText(window->property("closeCommand").toString().toLatin1().constData()))
        InstallWindowCloseHandler(window, [command] { ProcessCommand(command); });
    return window;
}

bool SetMenuBarFromNib(WindowRef window, const char* name) {
    auto* target = qobject_cast<QMainWindow*>(window);
    QWidget* holder = LoadNibFile(name);
    auto* source = qobject_cast<QMainWindow*>(holder);
    if (!target || !source || !source->menuBar()) {
        delete holder;
        return false;
    }
    QMenuBar* bar = source->menuBar();
    // The actions belong to the loaded window; they move with the bar.
    for (QAction* action : source->findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        action->setParent(bar);
    ConnectCommandSources(bar);
    target->setMenuBar(bar); // takes ownership
    bar->show();             // a reparented widget starts hidden
    delete holder;
    return true;
}

QMenu* CreateMenuFromNib(const char* name) {
    QWidget* holder = LoadNibFile(name);
    QMenu* menu = holder ? holder->findChild<QMenu*>(QString::fromUtf8(name)) : nullptr;
    if (menu) {
        menu->setParent(nullptr);
        for (QAction* action : menu->actions())
            action->setParent(menu);
    }
    delete holder;
    return menu;
}

ControlRef GetControlByID(WindowRef window, uint32_t signature, int32_t id) {
    if (!window)
        return nullptr;
    char sig[5] = {char(signature >> 24), char(signature >> 16), char(signature >> 8),
                   char(signature), 0};
    return window->findChild<QWidget*>(QStringLiteral("%1_%2").arg(QLatin1String(sig)).arg(id));
}
