#include "HTTPAccess.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <chrono>
#include <ctime>
#include <strings.h>

namespace {

int64_t SteadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The value of the header field name (any case), or null.
const char* HeaderValue(const std::vector<std::pair<std::string, std::string>>& headers,
                        const char* name) {
    for (const auto& field : headers)
        if (strcasecmp(field.first.c_str(), name) == 0)
            return field.second.c_str();
    return nullptr;
}

// The short reason of a network error, in one place for every download.
std::string NetworkErrorReason(QNetworkReply::NetworkError error, const QString& text) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return "connection refused";
    case QNetworkReply::RemoteHostClosedError:
        return "connection closed before the end of the page";
    case QNetworkReply::HostNotFoundError:
        return "host not found";
    case QNetworkReply::TimeoutError:
        return "connection timed out";
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return "network unavailable";
    case QNetworkReply::ProxyConnectionRefusedError:
        return "proxy refused the connection";
    case QNetworkReply::ProxyConnectionClosedError:
        return "proxy closed the connection";
    case QNetworkReply::ProxyNotFoundError:
        return "proxy not found";
    case QNetworkReply::ProxyTimeoutError:
        return "proxy timed out";
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return "proxy needs a password";
    default:
        return text.toLower().toStdString();
    }
}

// Errors of the connection itself (Qt numbers them below 200), as opposed to
// those Qt derives from the answer's status.
bool IsConnectionError(QNetworkReply::NetworkError error) {
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

} // namespace

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
    // A coarse timer may fire early, which would bring a request too close.
    m_dueTimer.setSingleShot(true);
    m_dueTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_dueTimer, &QTimer::timeout, this, &CHTTPAccess::RequestWhenDue);
}

CHTTPAccess::~CHTTPAccess() {
    EndDownload(DownloadOutcome::kStopped, "stopped");
}

void CHTTPAccess::OpenURL(const std::string& url, const std::string& path) {
    // A download left running by a cancelled job.
    EndDownload(DownloadOutcome::kStopped, "stopped by a later download");
    blocking = 0;
    complete = 0;
    m_outcome = DownloadOutcome();
    StartDownload(url, path);
}

DownloadOutcome CHTTPAccess::OpenURLComplete(const std::string& url, const std::string& path) {
    EndDownload(DownloadOutcome::kStopped, "stopped by a later download");
    // The loop and the outcome belong to this call, so a nested call made from
    // within the loop cannot end the wrong wait.
    QEventLoop waitLoop;
    DownloadOutcome outcome;
    blocking = 1;
    m_blockingOutcome = &outcome;
    m_waitLoop = &waitLoop;
    StartDownload(url, path);
    if (outcome.end == DownloadOutcome::kRunning)
        waitLoop.exec();
    // Nothing of this object is touched after the wait: whatever ended it may
    // also have destroyed the downloader.
    return outcome;
}

void CHTTPAccess::StartDownload(const std::string& url, const std::string& path) {
    m_running = true;
    m_current = DownloadOutcome();
    m_url = url.compare(0, 4, "http") != 0 ? "http://" + url : url;
    m_path = path;
    m_nWaits = 0;
    m_nRedirects = 0;
    outFile = fopen(path.c_str(), "w");
    m_nWritten = 0;
    if (!outFile) {
        // Nothing to write into: ends at once, as a failed start.
        EndDownload(DownloadOutcome::kFileError, "could not write the page file");
        return;
    }
    RequestWhenDue();
}

void CHTTPAccess::RequestWhenDue() {
    const int64_t delayUs = m_pacer.DelayUs(SteadyMicroseconds());
    if (delayUs > 0) {
        m_dueTimer.start(int((delayUs + 999) / 1000));
        return;
    }
    DownloadURL();
}

void CHTTPAccess::DownloadURL() {
    const QUrl target = QUrl::fromEncoded(QByteArray::fromStdString(m_url), QUrl::TolerantMode);
    if (!target.isValid()) {
        EndDownload(DownloadOutcome::kNetworkError, "not a valid URL");
        return;
    }

    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // The downloader follows redirects itself, each one a request the pacer
    // lets go in its turn.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);

    m_pacer.RequestStarted(SteadyMicroseconds());
    QNetworkReply* reply = m_manager.get(request);
    m_reply = reply;
    // The request counts from when it left, which may be a little later.
    connect(reply, &QNetworkReply::requestSent, this,
            [this] { m_pacer.RequestStarted(SteadyMicroseconds()); });
    connect(reply, &QNetworkReply::readyRead, this, &CHTTPAccess::ReadStreamClientCallBack);
    // Errors, time-outs of the connection and the end of data all finish the reply.
    connect(reply, &QNetworkReply::finished, this, &CHTTPAccess::ReplyFinished);
    m_timeoutTimer.start();
}

void CHTTPAccess::ReadStreamClientCallBack() {
    if (!m_reply)
        return;
    while (m_reply->bytesAvailable() > 0) {
        const qint64 nRead = m_reply->read(m_buffer, kReadSize);
        if (nRead <= 0) {
            EndDownload(DownloadOutcome::kNetworkError, "the page could not be read");
            return;
        }
        const qint64 nRoom = kSizeLimit - m_nWritten;
        const qint64 nWrite = nRead < nRoom ? nRead : nRoom;
        if (fwrite(m_buffer, 1, static_cast<size_t>(nWrite), outFile) !=
            static_cast<size_t>(nWrite)) {
            // Disk full or similar: keep what was written.
            EndDownload(DownloadOutcome::kFileError, "could not write the page file");
            return;
        }
        m_nWritten += nWrite;
        if (nWrite < nRead) {
            EndDownload(DownloadOutcome::kSizeLimit, "page larger than 16 MB");
            return;
        }
        m_timeoutTimer.start();
    }
}

void CHTTPAccess::ReplyFinished() {
    ReadStreamClientCallBack(); // whatever arrived with the end
    if (!m_reply)
        return; // ended while reading
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_current.httpStatus = status.isValid() ? status.toInt() : 0;
    for (const QNetworkReply::RawHeaderPair& field : m_reply->rawHeaderPairs())
        m_current.headers.emplace_back(field.first.toStdString(), field.second.toStdString());

    const QNetworkReply::NetworkError error = m_reply->error();
    const QUrl location = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (IsConnectionError(error)) {
        // A status may have come before the connection broke; the page did not.
        const std::string reason = NetworkErrorReason(error, m_reply->errorString());
        EndDownload(DownloadOutcome::kNetworkError, reason.c_str());
    } else if (m_current.httpStatus >= 300 && m_current.httpStatus <= 399 && !location.isEmpty()) {
        FollowRedirect(m_reply->url().resolved(location));
    } else if (CDownloadPacer::AsksToWait(m_current.httpStatus) &&
               m_nWaits < CDownloadPacer::kMaxWaits) {
        WaitForTheService();
    } else if (m_current.httpStatus < 200 || m_current.httpStatus > 299) {
        const std::string reason = m_current.httpStatus != 0
                                       ? "HTTP " + std::to_string(m_current.httpStatus)
                                       : NetworkErrorReason(error, m_reply->errorString());
        EndDownload(DownloadOutcome::kHTTPStatus, reason.c_str());
    } else if (error != QNetworkReply::NoError) {
        const std::string reason = NetworkErrorReason(error, m_reply->errorString());
        EndDownload(DownloadOutcome::kNetworkError, reason.c_str());
    } else if (BodyCutShort()) {
        // A reset connection is at times reported as the end of the page.
        EndDownload(DownloadOutcome::kNetworkError,
                    NetworkErrorReason(QNetworkReply::RemoteHostClosedError, QString()).c_str());
    } else {
        EndDownload(DownloadOutcome::kDone, "");
    }
}

void CHTTPAccess::FollowRedirect(const QUrl& target) {
    TerminateDownload();
    // A redirect's own page is never the page.
    if (!EmptyFile())
        return;
    const bool secure = target.scheme() == QLatin1String("https");
    if (m_nRedirects == kMaxRedirects) {
        EndDownload(DownloadOutcome::kRedirectLimit, "more than 20 redirects");
    } else if ((m_url.compare(0, 6, "https:") == 0 && !secure) ||
               (!secure && target.scheme() != QLatin1String("http"))) {
        // Never from an encrypted address to a plain one, nor off the web.
        EndDownload(DownloadOutcome::kRedirectLimit, "redirected to an unsafe address");
    } else {
        ++m_nRedirects;
        m_url = target.toEncoded().toStdString();
        m_current = DownloadOutcome();
        RequestWhenDue();
    }
}

void CHTTPAccess::WaitForTheService() {
    const int64_t waitMs = CDownloadPacer::WaitMs(HeaderValue(m_current.headers, "Retry-After"),
                                                  m_nWaits, std::time(nullptr));
    const DownloadWait wait{m_current.httpStatus, int32_t((waitMs + 999) / 1000), ++m_nWaits};
    TerminateDownload();
    // The page asked for again replaces the answer that asked to wait.
    if (!EmptyFile())
        return;
    m_current = DownloadOutcome();
    m_pacer.Wait(SteadyMicroseconds(), waitMs);
    RequestWhenDue();
    if (m_waitHandler)
        m_waitHandler(wait);
}

bool CHTTPAccess::EmptyFile() {
    outFile = std::freopen(m_path.c_str(), "w", outFile);
    m_nWritten = 0;
    if (!outFile) {
        EndDownload(DownloadOutcome::kFileError, "could not write the page file");
        return false;
    }
    return true;
}

bool CHTTPAccess::BodyCutShort() const {
    // Qt unpacks a compressed body, whose length then differs from the header's.
    if (!m_reply->rawHeader("Content-Encoding").isEmpty())
        return false;
    bool known = false;
    const qint64 announced =
        m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    return known && m_nWritten < announced;
}

void CHTTPAccess::NetworkTimeoutTimerProc() {
    EndDownload(DownloadOutcome::kTimeout, "no data for 5 s");
}

void CHTTPAccess::TerminateDownload() {
    m_timeoutTimer.stop();
    m_dueTimer.stop();
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

void CHTTPAccess::EndDownload(DownloadOutcome::End end, const char* reason) {
    if (!m_running)
        return;
    m_running = false;
    TerminateDownload();
    if (outFile) {
        // A page whose last bytes never reached the disk is no page.
        if (fclose(outFile) != 0 && end == DownloadOutcome::kDone) {
            end = DownloadOutcome::kFileError;
            reason = "could not write the page file";
        }
        outFile = nullptr;
    }
    m_current.end = end;
    m_current.reason = reason;
    if (!blocking) {
        m_outcome = std::move(m_current);
        complete = 1;
        // Through the event loop: the end may come from within OpenURL, and
        // the handler may start the next download. Dropped with the downloader.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_completionHandler)
                    m_completionHandler();
            },
            Qt::QueuedConnection);
        return;
    }
    blocking = 0;
    *m_blockingOutcome = std::move(m_current);
    m_waitLoop->quit();
    m_blockingOutcome = nullptr;
    m_waitLoop = nullptr;
}
