#include "ModalLoop.h"

#include "CommandEvents.h"
#include "Windows.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

static ModalLoopHook s_hook;

void RunAppModalLoopForWindow(WindowRef window) {
    if (!window)
        return;
    QEventLoop loop;
    window->setProperty("toolboxModalLoop", QVariant::fromValue<QObject*>(&loop));
    Qt::WindowModality previous = window->windowModality();
    if (window->isWindow() && previous != Qt::ApplicationModal) {
        // A shown window takes a new modality only when shown again.
        bool visible = window->isVisible();
        window->hide();
        window->setWindowModality(Qt::ApplicationModal);
        window->setVisible(visible);
    }
    if (s_hook) {
        QPointer<QWidget> target(window);
        ModalLoopHook hook = s_hook;
        QTimer::singleShot(0, &loop, [target, hook] {
            if (target)
                hook(target);
        });
    }
    loop.exec();
    window->setProperty("toolboxModalLoop", QVariant());
    if (window->isWindow() && previous != Qt::ApplicationModal) {
        bool visible = window->isVisible();
        window->hide();
        window->setWindowModality(previous);
        window->setVisible(visible);
    }
}

void QuitAppModalLoopForWindow(WindowRef window) {
    if (!window)
        return;
    if (auto* loop =
            qobject_cast<QEventLoop*>(window->property("toolboxModalLoop").value<QObject*>()))
        loop->quit();
}

void SetModalLoopHook(ModalLoopHook hook) {
    s_hook = std::move(hook);
}

void RunModalSheet(WindowRef& window, uint32_t& commandHandler) {
    RunAppModalLoopForWindow(window);
    RemoveCommandHandler(commandHandler);
    commandHandler = 0;
    DisposeWindow(window);
    window = nullptr;
}

void CloseModalSheet(WindowRef window) {
    HideWindow(window);
    QuitAppModalLoopForWindow(window);
}
