// Builds the real program (preferences, market table, fetch list, window
// controller) under the offscreen platform against a fresh application folder
// and preferences folder for each test.
#pragma once

#include "MetalWindow.h"
#include "Toolbox/Toolbox.h"
#include "VezizoApp.h"
#include "VezizoProcess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

// Runs the event loop until done() holds or timeoutMs has passed.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void waitFor(int ms) {
    waitUntil([] { return false; }, ms);
}

// Saves a picture of widget as <build>/screenshots/<name>.png for a person to
// look at.
inline void SaveScreenshot(QWidget* widget, const char* name) {
    ASSERT_NE(widget, nullptr) << name;
    QDir().mkpath(VEZIZO_BUILD_DIR "/screenshots");
    QPixmap picture = widget->grab();
    EXPECT_FALSE(picture.isNull()) << name;
    EXPECT_TRUE(picture.save(
        QStringLiteral(VEZIZO_BUILD_DIR "/screenshots/%1.png").arg(QLatin1String(name))))
        << name;
}

class GuiTestBase : public ::testing::Test {
protected:
    // Whether the application folder gets a fetch list of one page.
    virtual bool withFetchList() const { return true; }

    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_config.isValid());
        ASSERT_TRUE(QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", path("market.csv")));
        if (withFetchList()) {
            QFile list(path("fetchlist.csv"));
            ASSERT_TRUE(list.open(QIODevice::WriteOnly));
            list.write("7203.t,7203,t,TOYOTA\n6758.t,6758,t,SONY\n");
        }
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        ASSERT_TRUE(WriteQuickSettings(m_config.path()));
        SetWindowAnimationsEnabled(false);
        SetExitFunction([this](int) { ++m_exitCalls; });
        ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString()));
    }

    void TearDown() override {
        SetModalLoopHook({});
        m_app.ShutDown();
        // About windows and the like outlive the controller; a window may own
        // others, so each is deleted only while it still exists.
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            windows.append(window);
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        SetExitFunction({});
    }

    CMetalWindow& controller() { return *m_app.mainWindow(); }
    QWidget* mainWindow() { return controller().window(); }
    QString path(const char* name) const { return m_folder.filePath(QString::fromUtf8(name)); }
    QString preferencesFile() const { return m_config.filePath("TorlindX.Preference"); }

    // Sends a command event as a menu item or button would.
    static int32_t send(const char* code) { return ProcessCommand(CommandFromText(code)); }
    // The top-level windows whose objectName is name.
    static QList<QWidget*> windowsNamed(const char* name) {
        QList<QWidget*> found;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String(name))
                found.append(window);
        return found;
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_config;
    CVezizoApp m_app;
    int m_exitCalls = 0;
};

class GuiTestWithoutFetchList : public GuiTestBase {
protected:
    bool withFetchList() const override { return false; }
};
