// The HTTP/1.1 front of the simulated quote service: one request per
// connection (answered with "Connection: close"), routed to the page renderer,
// with the faults of the rules applied on the way out.
#pragma once

#include "SimFaults.h"
#include "SimPages.h"

#include <QByteArray>
#include <QFile>
#include <QTcpServer>

class QTcpSocket;

// A rendered answer before any fault is applied.
struct SimResponse {
    int status = 200;
    QByteArray body;
    QByteArray location; // for a redirect
};

class CSimServer : public QObject {
    Q_OBJECT
public:
    CSimServer(const CSimPages& pages, CSimFaults& faults, QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    // Appends one line per request: method, target and the headers, tab-separated.
    bool openLog(const QString& path);

    // The answer for a request target ("/q?s=1301&d=v2"), without faults;
    // hostPort names this server in redirect locations.
    SimResponse route(const QByteArray& target, const QByteArray& hostPort) const;
    // The next fault for an original request target.
    SimFault faultFor(const QByteArray& target) { return m_faults.next(target); }
    void log(const QByteArray& line);

private:
    void acceptConnections();

    const CSimPages& m_pages;
    CSimFaults& m_faults;
    QTcpServer m_server;
    QFile m_log;
};

// Inserts bytes that are not EUC-JP into the page: after the text of the second
// cell of every row (the name cells) and at the start of the body.
QByteArray spoilEncoding(QByteArray page);
