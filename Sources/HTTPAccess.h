// The downloader: one URL at a time, fetched with an HTTP/1.1 GET (optionally
// through an HTTP proxy, redirects followed) and written unchanged into one file
// as the body arrives. Everything runs on the event loop of the calling thread.
//
// Completion flags:
// - `complete` belongs to downloads started with OpenURL. OpenURL sets it to 0;
//   it becomes 1 once that download has ended, whatever ended it: end of data,
//   stream error, read or write failure, the 5-second silence time-out, the size
//   limit, a start that failed, or a later download that stopped it. The job
//   that polls it clears it, and reads outcome() to learn how it ended.
// - OpenURLComplete never writes `complete` nor outcome(). It waits on a flag of
//   its own and returns its outcome, so a job tick that fires during its nested
//   event loop sees only what the last OpenURL download left there, never the
//   blocking download's end.
//
// The file receives the body whatever the outcome (an error page, the part of
// a page that arrived); only an outcome that is done() makes it a page.
//
// One download is in flight at a time: starting a download stops the one still
// running (its file keeps what had arrived and it ends as described above), and
// none of the stopped download's bytes reach the new file. A download started
// while OpenURLComplete waits (from a timer, say) thus ends that wait.
//
// Every request, of either entry point and each redirect's, goes through the
// pacer: it is sent no sooner than the interval after the previous one. An answer 429 or 503 is
// waited out as the service asks (CDownloadPacer) and the page asked for
// again, up to CDownloadPacer::kMaxWaits times; the download then ends with
// that answer's status. A download waiting its turn or the service's wait is
// running: it ends, and can be stopped, as any other.
#pragma once

#include "DownloadPacer.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QEventLoop;
class QNetworkReply;
class QUrl;

// How one download ended.
struct DownloadOutcome {
    enum End {
        kRunning,       // not ended yet
        kDone,          // a 2xx answer (after redirects), its body complete
        kHTTPStatus,    // the final answer's status was not 2xx
        kNetworkError,  // no connection, or the connection broke
        kTimeout,       // nothing arrived for kTimeoutMs
        kSizeLimit,     // the body went past kSizeLimit
        kRedirectLimit, // more redirects than kMaxRedirects, or one refused
        kFileError,     // the page file could not be opened or written
        kStopped,       // a later download or the downloader's end stopped it
    };

    bool done() const { return end == kDone; }
    // The service answered that it has no such page (404, 410): an answer about
    // the page, not a failure of the service.
    bool noSuchPage() const {
        return end == kHTTPStatus && (httpStatus == 404 || httpStatus == 410);
    }

    End end = kRunning;
    // The final answer's status, 0 when no answer came.
    int32_t httpStatus = 0;
    // Empty when done, else a short English reason: "HTTP 500", "no data for
    // 5 s", "connection refused".
    std::string reason;
    // The final answer's header fields as they came (name, value).
    std::vector<std::pair<std::string, std::string>> headers;
};

// A wait the service asked for, which the download is waiting out.
struct DownloadWait {
    int32_t httpStatus; // 429 or 503
    int32_t seconds;    // how long, rounded up
    int32_t nWait;      // this page's wait, 1 .. CDownloadPacer::kMaxWaits
};

class CHTTPAccess : public QObject {
    Q_OBJECT

public:
    // Bytes taken from the stream per read.
    static constexpr qint64 kReadSize = 32768;
    // A download that delivers nothing for this long is stopped.
    static constexpr int kTimeoutMs = 5000;
    // A body longer than this is cut off here and the download ends, so that a
    // server that never stops sending cannot fill the disk.
    static constexpr qint64 kSizeLimit = 16 * 1024 * 1024;
    // Redirects followed before the download ends as failed (a loop ends).
    static constexpr int kMaxRedirects = 20;

    // host and port name the HTTP proxy; they are used only when useProxy is set.
    CHTTPAccess(bool useProxy, const char* host, int32_t port);
    ~CHTTPAccess() override;
    CHTTPAccess(const CHTTPAccess&) = delete;
    CHTTPAccess& operator=(const CHTTPAccess&) = delete;

    // Starts the download of url into the file at path (truncated first) and
    // returns at once; `complete` tells when it has ended. "http://" is put in
    // front of a url whose first four bytes are not "http". When the file cannot
    // be opened nothing is requested and the download has ended on return.
    void OpenURL(const std::string& url, const std::string& path);
    // The same download, but returns only once it has ended, running a nested
    // event loop meanwhile (timers and other events keep being served), with
    // how it ended.
    DownloadOutcome OpenURLComplete(const std::string& url, const std::string& path);

    // How the last OpenURL download ended; kRunning until `complete` is 1.
    const DownloadOutcome& outcome() const { return m_outcome; }

    // The least time between the starts of two requests.
    void setInterval(int32_t intervalMs) { m_pacer.setInterval(intervalMs); }
    // Runs handler from the event loop soon after an OpenURL download has
    // ended (never from within the downloader, whose caller may be the one
    // to be told). `complete` says whether the end is still to be taken.
    void setCompletionHandler(std::function<void()> handler) {
        m_completionHandler = std::move(handler);
    }
    // Runs handler each time a download starts waiting out an answer that
    // asked it to wait.
    void setWaitHandler(std::function<void(const DownloadWait&)> handler) {
        m_waitHandler = std::move(handler);
    }

    uint8_t complete = 0;

private:
    void StartDownload(const std::string& url, const std::string& path);
    // Sends the request of the current download once the pacer allows.
    void RequestWhenDue();
    void DownloadURL();
    // The answer was a redirect to target: asked for there in its turn.
    void FollowRedirect(const QUrl& target);
    // The answer asked to wait: the page is asked for again after the wait.
    void WaitForTheService();
    // Empties the file for the next answer; false when the download had to
    // end instead.
    bool EmptyFile();
    // readyRead of the current reply: copies what has arrived into the file.
    void ReadStreamClientCallBack();
    // finished of the current reply: the end of data, or an error.
    void ReplyFinished();
    // Whether the current reply brought fewer body bytes than it announced.
    bool BodyCutShort() const;
    void NetworkTimeoutTimerProc();
    // Stops the current reply and the time-out; leaves the file and the flags.
    void TerminateDownload();
    // Ends the current download as end (with reason): stops it, closes the
    // file, records the outcome and raises its flag.
    void EndDownload(DownloadOutcome::End end, const char* reason);

    QNetworkAccessManager m_manager;
    QNetworkReply* m_reply = nullptr;
    QTimer m_timeoutTimer;
    // Fires when the current download's request is due.
    QTimer m_dueTimer;
    CDownloadPacer m_pacer;
    std::function<void()> m_completionHandler;
    std::function<void(const DownloadWait&)> m_waitHandler;
    // The current download's URL (with its scheme; a redirect's target once
    // redirected), file, and the waits and redirects so far.
    std::string m_url;
    std::string m_path;
    int32_t m_nWaits = 0;
    int32_t m_nRedirects = 0;
    // From the start of a download until EndDownload has ended it.
    bool m_running = false;
    // The running download's status and headers, then its outcome.
    DownloadOutcome m_current;
    DownloadOutcome m_outcome;
    FILE* outFile = nullptr;
    qint64 m_nWritten = 0;
    std::string proxyHost;
    int32_t proxyPort;
    uint8_t useProxy;
    // 1 while the current download is one of OpenURLComplete; it then fills
    // *m_blockingOutcome and quits m_waitLoop instead of setting `complete`.
    uint8_t blocking = 0;
    DownloadOutcome* m_blockingOutcome = nullptr;
    QEventLoop* m_waitLoop = nullptr;
    char m_buffer[kReadSize];
};
