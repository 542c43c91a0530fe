// Builds the real program (preferences, market table, fetch list, window
// controller) under the offscreen platform on a fresh application folder and
// preferences folder for each test, and drives it as a user would: commands,
// dialogs answered inside their modal loops, clicks.
#pragma once

#include "AppTestBase.h"
#include "ChartWindow.h"
#include "MetalWindow.h"
#include "Preferences.h"
#include "Toolbox/Toolbox.h"
#include "VezizoApp.h"
#include "VezizoMain.h"
#include "misclib.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <qtestsupport_core.h>

// Saves a picture of widget as <build>/screenshots/<name>.png for a person to
// look at.
inline void SaveScreenshot(QWidget* widget, const QString& name) {
    ASSERT_NE(widget, nullptr) << name.toStdString();
    QDir().mkpath(VEZIZO_BUILD_DIR "/screenshots");
    EXPECT_TRUE(widget->grab().save(VEZIZO_BUILD_DIR "/screenshots/" + name + ".png"))
        << name.toStdString();
}

// Sends mouse events of button (none for a move) at a point of widget.
inline void SendMouse(QWidget* widget, std::initializer_list<QEvent::Type> types, QPointF at,
                      Qt::MouseButton button = Qt::NoButton) {
    for (QEvent::Type type : types) {
        const Qt::MouseButton pressed = type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, at, widget->mapToGlobal(at), pressed, pressed, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

class GuiTestBase : public AppTestBase {
protected:
    void SetUp() override {
        prepare("7203.t,7203,t,TOYOTA\n6758.t,6758,t,SONY\n");
        startProgram();
    }
    // A fresh application folder with the market table and fetchList, and a
    // fresh preferences folder.
    void prepare(const QByteArray& fetchList = {}) {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        ASSERT_TRUE(layOut(fetchList) && WriteQuickSettings(m_config.path()));
        SetWindowAnimationsEnabled(false);
        SetExitFunction([this](int) { ++m_exitCalls; });
    }
    void startProgram() { ASSERT_TRUE(m_app.StartUp("", m_folder.path().toStdString())); }
    void start(const QByteArray& fetchList, const QStringList& simArguments = {}) {
        serve(simArguments);
        ASSERT_TRUE(write("fetchlist.csv", fetchList));
        startProgram();
    }

    void TearDown() override {
        SetModalLoopHook({});
        m_app.ShutDown();
        // About windows and the like outlive the controller; a window may own
        // others, so each is deleted only while it still exists.
        const QWidgetList windows = QApplication::topLevelWidgets();
        qDeleteAll(QList<QPointer<QWidget>>(windows.begin(), windows.end()));
        SetExitFunction({});
    }

    CMetalWindow& controller() { return *m_app.mainWindow(); }
    QWidget* mainWindow() { return controller().window(); }
    QList<QMessageBox*> cautions() {
        return mainWindow()->findChildren<QMessageBox*>("cautionAlertSheet");
    }
    static QString text(ControlRef label) { return static_cast<QLabel*>(label)->text(); }

    // Sends a command event as a menu item or button would.
    static int32_t send(const char* code) { return ProcessCommand(CommandFromText(code)); }
    // Sends command and answers the dialog it opens with answers split at
    // '|': "ID=text" types text into field ID of the code entry, any other is
    // a command (a button, a check box). picture names a screenshot of the
    // dialog before its last answer.
    int32_t sendAnswered(const char* command, const QString& answers, const QString& picture = {}) {
        m_dialogs = 0;
        SetModalLoopHook([this, answers, picture](WindowRef dialog) {
            ++m_dialogs;
            const QStringList all = answers.split('|');
            for (const QString& answer : all) {
                if (&answer == &all.last() && !picture.isEmpty())
                    SaveScreenshot(dialog, picture);
                const QString id = answer.section('=', 0, 0);
                if (id == answer)
                    send(answer.toLatin1().constData());
                else
                    SetControlText(GetControlByID(dialog, FourCharCode("entc"), id.toInt()),
                                   answer.section('=', 1).toLatin1().constData());
            }
        });
        const int32_t status = send(command);
        SetModalLoopHook({});
        return status;
    }

    CVezizoApp m_app;
    int m_exitCalls = 0;
    int m_dialogs = 0;
};

// A test against the simulated service: each test calls start() with its
// own fetch list and service.
class SimJobTestBase : public GuiTestBase {
protected:
    void SetUp() override { prepare(); }
};
