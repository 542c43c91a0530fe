// The downloader: one URL at a time, fetched with an HTTP/1.1 GET (optionally
// through an HTTP proxy, redirects followed) and written unchanged into one file
// as the body arrives. Everything runs on the event loop of the calling thread.
//
// Completion flags:
// - `complete` belongs to downloads started with OpenURL. OpenURL sets it to 0;
//   it becomes 1 once that download has ended, whatever ended it: end of data,
//   stream error, read or write failure, the 5-second silence time-out, the size
//   limit, a start that failed, or a later download that stopped it. The job
//   that polls it clears it.
// - OpenURLComplete never writes `complete`. It waits on a flag of its own, so a
//   job tick that fires during its nested event loop sees only what the last
//   OpenURL download left there, never the blocking download's end.
//
// One download is in flight at a time: starting a download stops the one still
// running (its file keeps what had arrived and it ends as described above), and
// none of the stopped download's bytes reach the new file. A download started
// while OpenURLComplete waits (from a timer, say) thus ends that wait.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <string>

class QEventLoop;
class QNetworkReply;

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
    // event loop meanwhile (timers and other events keep being served).
    void OpenURLComplete(const std::string& url, const std::string& path);

    uint8_t complete = 0;

private:
    void StartDownload(const std::string& url, const std::string& path);
    void DownloadURL(std::string url);
    // readyRead of the current reply: copies what has arrived into the file.
    void ReadStreamClientCallBack();
    void NetworkTimeoutTimerProc();
    // Stops the current reply and the time-out; leaves the file and the flags.
    void TerminateDownload();
    // Ends the current download: stops it, closes the file, raises its flag.
    void EndDownload();

    QNetworkAccessManager m_manager;
    QNetworkReply* m_reply = nullptr;
    QTimer m_timeoutTimer;
    // From the start of a download until EndDownload has ended it.
    bool m_running = false;
    FILE* outFile = nullptr;
    qint64 m_nWritten = 0;
    std::string proxyHost;
    int32_t proxyPort;
    uint8_t useProxy;
    // 1 while the current download is one of OpenURLComplete; it then raises
    // m_blockingEnded and quits m_waitLoop instead of setting `complete`.
    uint8_t blocking = 0;
    bool* m_blockingEnded = nullptr;
    QEventLoop* m_waitLoop = nullptr;
    char m_buffer[kReadSize];
};
