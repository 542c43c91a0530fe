// Helpers shared by the downloader tests.
#pragma once

#include "HTTPAccess.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

// Serves the event loop until done() holds or timeoutMs have passed; returns done().
inline bool serveEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// Polls http.complete as the job timer does; false when timeoutMs passed first.
inline bool waitForComplete(const CHTTPAccess& http, int timeoutMs) {
    return serveEventsUntil([&http] { return http.complete == 1; }, timeoutMs);
}

inline void serveEvents(int ms) {
    serveEventsUntil([] { return false; }, ms);
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::string toStd(const QString& text) {
    return text.toStdString();
}

// Starts a download with OpenURL and waits for its end; returns the file's bytes.
inline QByteArray downloadInto(CHTTPAccess& http, const QString& url, const QString& path,
                               int timeoutMs = 15000) {
    http.OpenURL(toStd(url), toStd(path));
    if (!waitForComplete(http, timeoutMs))
        return QByteArray("(download did not end)");
    return fileBytes(path);
}
