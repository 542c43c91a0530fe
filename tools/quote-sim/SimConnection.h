// One client connection of the simulated service: reads one request, writes
// the answer (or the fault the rules ask for) and closes.
#pragma once

#include "SimFaults.h"
#include "SimServer.h"

#include <QObject>

class QTcpSocket;

class CSimConnection : public QObject {
    Q_OBJECT
public:
    CSimConnection(QTcpSocket* socket, CSimServer& server);

private:
    void readRequest();
    void answer(const QByteArray& target, const QByteArray& hostPort);
    void writeHead(int status, qint64 length, const QByteArray& location = {});
    void writeAndClose(const SimResponse& response);
    void drip(const QByteArray& body, double seconds);
    void resetAfter(const QByteArray& body, qint64 bytes);
    void streamOversize(const QByteArray& page, qint64 length);
    void feedStream();

    QTcpSocket* m_socket;
    CSimServer& m_server;
    QByteArray m_request;
    bool m_answered = false;
    // The oversize body: the page, then filler up to the announced length.
    QByteArray m_streamPage;
    qint64 m_streamLength = 0;
    qint64 m_streamOffset = 0;
};
