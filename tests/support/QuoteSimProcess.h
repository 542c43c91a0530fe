// Starts the simulated quote service on a free loopback port for one test and
// stops it again when the object goes away.
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// One line of the service's --log: a request and how it was answered.
struct SimLogEntry {
    QByteArray request; // method and target: "GET /q?s=1301&d=v2"
    double start = -1;  // seconds since the epoch: the request read
    double end = -1;    // the answer's last byte handed over
    int status = 0;     // 0: no answer was sent
};

// The lines of the service's log at path, in order.
QList<SimLogEntry> ReadSimLog(const QString& path);

class QuoteSimProcess {
public:
    // Extra arguments are passed to quote-sim after "--port 0" and the fixed
    // seed and date used by the tests (a later "--date" or "--seed" wins).
    explicit QuoteSimProcess(const QStringList& extraArgs = {});
    ~QuoteSimProcess();
    QuoteSimProcess(const QuoteSimProcess&) = delete;
    QuoteSimProcess& operator=(const QuoteSimProcess&) = delete;

    bool isRunning() const { return m_port != 0; }
    // "127.0.0.1:PORT", the form servers.conf takes.
    QString hostPort() const;
    // "http://127.0.0.1:PORT" followed by the given path.
    QString url(const QString& path) const;

    static constexpr const char* kSeed = "20061225";
    static constexpr const char* kDate = "2006-12-25";

private:
    QProcess m_process;
    quint16 m_port = 0;
};
