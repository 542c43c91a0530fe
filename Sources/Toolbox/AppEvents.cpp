#include "AppEvents.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

static std::function<void()> s_quitHandler;
static ExitFunction s_exitFunction;
static int s_exitStatus = 0;
static int s_signalSockets[2] = {-1, -1};

void RunApplicationEventLoop() {
    QApplication::exec();
}

void QuitApplicationEventLoop() {
    // exit(), not quit(): quit() would first ask every window to close.
    QCoreApplication::exit(0);
}

static void OnTerminateSignal(int) {
    char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    if (::write(s_signalSockets[0], &byte, 1) < 0) {
    }
}

bool InstallQuitEventHandler(std::function<void()> handler) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    s_quitHandler = std::move(handler);
    static bool s_connected = false;
    if (s_connected)
        return true;
    QObject::connect(app, &QGuiApplication::commitDataRequest, app, [] {
        if (s_quitHandler)
            s_quitHandler();
    });
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalSockets) != 0)
        return false;
    auto* notifier = new QSocketNotifier(s_signalSockets[1], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char byte;
        if (::read(s_signalSockets[1], &byte, 1) > 0 && s_quitHandler)
            s_quitHandler();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0)
        return false;
    s_connected = true;
    return true;
}

void ExitToShell(int status) {
    if (s_exitFunction) {
        s_exitFunction(status);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(status);
}

void SetExitStatus(int status) {
    s_exitStatus = status;
}

int ExitStatus() {
    return s_exitStatus;
}

void SetExitFunction(ExitFunction function) {
    s_exitFunction = std::move(function);
}
