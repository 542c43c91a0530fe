// Helpers shared by the downloader tests.
#pragma once

#include "HTTPAccess.h"
#include "SimAppFolder.h"
#include "SimPages.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <functional>
#include <string>

// Serves the event loop until done() holds or timeoutMs have passed; returns done().
inline bool serveEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    for (int waited = 0; !done() && waited < timeoutMs; waited += 10) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::string toStd(const QString& text) {
    return text.toStdString();
}

// Starts a download with OpenURL, polls `complete` as the job timer does until
// it ends, and returns the file's bytes.
inline QByteArray downloadInto(CHTTPAccess& http, const QString& url, const QString& path) {
    http.OpenURL(toStd(url), toStd(path));
    if (!serveEventsUntil([&http] { return http.complete == 1; }, 30000))
        return "(download did not end)";
    return fileBytes(path);
}

// The service's quote page of code as it is without faults.
inline QByteArray quotePage(const QString& code) {
    return CSimPages(TestSimMarket()).quotePage({code});
}
