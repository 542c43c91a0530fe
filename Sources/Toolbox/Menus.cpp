#include "Menus.h"

#include "CommandEvents.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

// The items of window's menu bar that send command.
static QList<QAction*> ItemsOf(WindowRef window, uint32_t command) {
    QList<QAction*> items;
    auto* main = qobject_cast<QMainWindow*>(window);
    if (!main || !main->menuBar())
        return items;
    for (QAction* action : main->menuBar()->findChildren<QAction*>())
        if (CommandOf(action) == command)
            items.append(action);
    return items;
}

void SetMenuCommandMark(WindowRef window, uint32_t command, bool marked) {
    for (QAction* item : ItemsOf(window, command)) {
        item->setCheckable(true);
        item->setChecked(marked);
    }
}

bool GetMenuCommandMark(WindowRef window, uint32_t command) {
    const QList<QAction*> items = ItemsOf(window, command);
    return !items.isEmpty() && items.first()->isChecked();
}
