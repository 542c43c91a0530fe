// The HTTP/1.1 front of the simulated quote service: one request per
// connection (answered with "Connection: close"), routed to the page renderer,
// with the faults of the rules applied on the way out.
#pragma once

#include "SimFaults.h"
#include "SimPages.h"
#include "SimRandom.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>

class QTcpSocket;

// A rendered answer before any fault is applied.
struct SimResponse {
    int status = 200;
    QByteArray body;
    QByteArray location; // for a redirect
    int retryAfter = 0;  // seconds, for a throttled request; 0: no Retry-After
};

class CSimServer : public QObject {
    Q_OBJECT
public:
    CSimServer(const CSimPages& pages, CSimFaults& faults, QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    // Appends one line per request once it has been answered: method, target
    // and the headers, then "start=", "end=" (seconds since the epoch, to the
    // microsecond: the request read, the answer's last byte handed over) and
    // "status=" ("-" when none was sent), and "retry-after=" for a throttled
    // one; tab-separated.
    bool openLog(const QString& path);
    // Each answer starts latencyMs after its request, give or take a tenth
    // drawn from seed.
    void setLatency(int latencyMs, quint64 seed);
    // At most bytesPerSecond of each answer a second; 0: as fast as it goes.
    void setRate(qint64 bytesPerSecond) { m_rate = bytesPerSecond; }
    qint64 rate() const { return m_rate; }
    // The delay of the next answer, in milliseconds.
    int nextLatency();

    // The answer for a request target ("/q?s=1301&d=v2"), without faults;
    // hostPort names this server in redirect locations.
    SimResponse route(const QByteArray& target, const QByteArray& hostPort) const;
    // The next fault for an original request target that has just come.
    SimFault faultFor(const QByteArray& target) { return m_faults.next(target, m_clock.elapsed()); }
    void log(const QByteArray& line);

private:
    void acceptConnections();

    const CSimPages& m_pages;
    CSimFaults& m_faults;
    QTcpServer m_server;
    QFile m_log;
    QElapsedTimer m_clock;
    int m_latencyMs = 0;
    CSimRandom m_latencySpread{0};
    qint64 m_rate = 0;
};

// Inserts bytes that are not EUC-JP into the page: after the text of the second
// cell of every row (the name cells) and at the start of the body.
QByteArray spoilEncoding(QByteArray page);
