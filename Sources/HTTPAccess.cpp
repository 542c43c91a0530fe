#include "HTTPAccess.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

CHTTPAccess::CHTTPAccess(bool useProxy, const char* host, int32_t port)
    : proxyHost(host ? host : ""), proxyPort(port), useProxy(useProxy ? 1 : 0) {
    // The preferences decide about the proxy; the environment's settings do not.
    // A port out of range becomes 0, which fails like any unreachable proxy
    // instead of letting the requests go around it.
    if (this->useProxy) {
        const quint16 validPort = proxyPort > 0 && proxyPort < 65536 ? quint16(proxyPort) : 0;
        m_manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy,
                                         QString::fromLatin1(proxyHost.c_str()), validPort));
    } else {
        m_manager.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    }

    m_timeoutTimer.setSingleShot(true);
    m_timeoutTimer.setInterval(kTimeoutMs);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &CHTTPAccess::NetworkTimeoutTimerProc);
}

CHTTPAccess::~CHTTPAccess() {
    EndDownload();
}

void CHTTPAccess::OpenURL(const std::string& url, const std::string& path) {
    EndDownload(); // a download left running by a cancelled job
    blocking = 0;
    complete = 0;
    StartDownload(url, path);
}

void CHTTPAccess::OpenURLComplete(const std::string& url, const std::string& path) {
    EndDownload();
    // The loop and the flag belong to this call, so a nested call made from
    // within the loop cannot end the wrong wait.
    QEventLoop waitLoop;
    bool ended = false;
    blocking = 1;
    m_blockingEnded = &ended;
    m_waitLoop = &waitLoop;
    StartDownload(url, path);
    if (!ended)
        waitLoop.exec();
    // Nothing of this object is touched after the wait: whatever ended it may
    // also have destroyed the downloader.
}

void CHTTPAccess::StartDownload(const std::string& url, const std::string& path) {
    m_running = true;
    outFile = fopen(path.c_str(), "w");
    m_nWritten = 0;
    if (!outFile) {
        EndDownload(); // nothing to write into: ends at once, as a failed start
        return;
    }
    DownloadURL(url);
}

void CHTTPAccess::DownloadURL(std::string url) {
    if (url.compare(0, 4, "http") != 0)
        url.insert(0, "http://");
    const QUrl target = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::TolerantMode);
    if (!target.isValid()) {
        EndDownload();
        return;
    }

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);

    QNetworkReply* reply = m_manager.get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &CHTTPAccess::ReadStreamClientCallBack);
    // Errors, time-outs of the connection and the end of data all finish the reply.
    connect(reply, &QNetworkReply::finished, this, [this] {
        ReadStreamClientCallBack(); // whatever arrived with the end
        EndDownload();
    });
    m_timeoutTimer.start();
}

void CHTTPAccess::ReadStreamClientCallBack() {
    if (!m_reply)
        return;
    while (m_reply->bytesAvailable() > 0) {
        const qint64 nRead = m_reply->read(m_buffer, kReadSize);
        if (nRead <= 0) {
            EndDownload();
            return;
        }
        const qint64 nRoom = kSizeLimit - m_nWritten;
        const qint64 nWrite = nRead < nRoom ? nRead : nRoom;
        if (fwrite(m_buffer, 1, static_cast<size_t>(nWrite), outFile) !=
            static_cast<size_t>(nWrite)) {
            EndDownload(); // disk full or similar: keep what was written
            return;
        }
        m_nWritten += nWrite;
        if (nWrite < nRead) {
            EndDownload(); // over the size limit: ends like a stream error
            return;
        }
        m_timeoutTimer.start();
    }
}

void CHTTPAccess::NetworkTimeoutTimerProc() {
    EndDownload();
}

void CHTTPAccess::TerminateDownload() {
    m_timeoutTimer.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    // Disconnected first: abort() emits finished, and nothing more of this
    // reply may reach a file.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void CHTTPAccess::EndDownload() {
    if (!m_running)
        return;
    m_running = false;
    TerminateDownload();
    if (outFile) {
        fclose(outFile);
        outFile = nullptr;
    }
    if (!blocking) {
        complete = 1;
        return;
    }
    blocking = 0;
    *m_blockingEnded = true;
    m_waitLoop->quit();
    m_blockingEnded = nullptr;
    m_waitLoop = nullptr;
}
