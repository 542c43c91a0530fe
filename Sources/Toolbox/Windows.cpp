#include "Windows.h"

#include "TextEncoding.h"

#include <QEvent>
#include <QLayout>
#include <QPropertyAnimation>
#include <QWidget>

static bool s_animationsEnabled = true;
static constexpr int kResizeDurationMs = 200;

void ShowWindow(WindowRef window) {
    if (window)
        window->show();
}

void SelectWindow(WindowRef window) {
    if (!window)
        return;
    // A window being shown comes up in front; one already open is brought
    // there.
    if (window->isVisible())
        window->raise();
    else
        window->show();
    window->activateWindow();
}

void SetWindowTitle(WindowRef window, const char* sjisText) {
    if (window)
        window->setWindowTitle(SystemTextToString(sjisText));
}

void HideWindow(WindowRef window) {
    if (window)
        window->hide();
}

bool IsWindowVisible(WindowRef window) {
    return window && window->isVisible();
}

void DisposeWindow(WindowRef window) {
    delete window;
}

void SetWindowDisposeOnClose(WindowRef window) {
    if (window)
        window->setAttribute(Qt::WA_DeleteOnClose);
}

void SizeWindow(WindowRef window, int32_t width, int32_t height) {
    if (window)
        window->resize(width, height);
}

WindowBounds GetWindowBounds(WindowRef window) {
    if (!window)
        return {0, 0, 0, 0};
    QRect frame = window->geometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void SetWindowAnimationsEnabled(bool enabled) {
    s_animationsEnabled = enabled;
}

bool WindowAnimationsEnabled() {
    return s_animationsEnabled;
}

void TransitionWindowResize(WindowRef window, int32_t width, int32_t height) {
    if (!window)
        return;
    // A resize that is still running would fight the new one.
    for (auto* running : window->findChildren<QPropertyAnimation*>(Qt::FindDirectChildrenOnly))
        running->stop();
    QRect target(window->geometry().topLeft(), QSize(width, height));
    if (!s_animationsEnabled || !window->isVisible()) {
        window->setGeometry(target);
        return;
    }
    auto* animation = new QPropertyAnimation(window, "geometry", window);
    animation->setDuration(kResizeDurationMs);
    animation->setEndValue(target);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

namespace {
class CCloseFilter : public QObject {
public:
    CCloseFilter(std::function<void()> handler, QObject* parent)
        : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close)
            return QObject::eventFilter(watched, event);
        event->ignore();
        m_handler();
        return true;
    }

private:
    std::function<void()> m_handler;
};
} // namespace

void InstallWindowCloseHandler(WindowRef window, std::function<void()> handler) {
    if (window)
        window->installEventFilter(new CCloseFilter(std::move(handler), window));
}

void AttachSheetToWindow(WindowRef sheet, WindowRef mainWindow) {
    if (!sheet || !mainWindow)
        return;
    QWidget* area = mainWindow->findChild<QWidget*>(QStringLiteral("sheetArea"));
    if (!area)
        return;
    if (!area->layout())
        new QVBoxLayout(area);
    sheet->setParent(area);
    sheet->setWindowFlags(Qt::Widget);
    area->layout()->addWidget(sheet);
    sheet->hide();
}

void ShowSheetWindow(WindowRef sheet, WindowRef parent) {
    if (!sheet)
        return;
    if (parent) {
        sheet->setParent(parent, Qt::Dialog | Qt::Sheet);
        sheet->setWindowModality(Qt::WindowModal);
    }
    sheet->show();
    sheet->raise();
}
