// One client connection of the simulated service: reads one request, waits
// the service's latency, writes the answer (or the fault the rules ask for)
// at the service's rate and closes.
#pragma once

#include "SimFaults.h"
#include "SimServer.h"

#include <QObject>

class QTcpSocket;
class QTimer;

class CSimConnection : public QObject {
    Q_OBJECT
public:
    CSimConnection(QTcpSocket* socket, CSimServer& server);

private:
    void readRequest();
    void answer(const QByteArray& target, const QByteArray& hostPort);
    void writeHead(const SimResponse& response, qint64 length);
    void writeAndClose(const SimResponse& response);
    // The next slice of m_paced's body that the rate allows; closes after the last.
    void sendPacedSlice();
    // Writes the request's log line (once): now is the end of its answer,
    // whose status was status (0: none sent).
    void logAnswer(int status, int retryAfter = 0);
    void drip(const QByteArray& body, double seconds);
    void resetAfter(const QByteArray& body, qint64 bytes);
    void streamOversize(const QByteArray& page, qint64 length);
    void feedStream();

    QTcpSocket* m_socket;
    CSimServer& m_server;
    QByteArray m_request;
    bool m_answered = false;
    SimFault m_fault;
    // The request's part of the log line and when it was read.
    QByteArray m_logLine;
    qint64 m_startUs = 0;
    bool m_logged = false;
    // An answer sent at the service's rate, and how much of its body has gone.
    SimResponse m_paced;
    qint64 m_pacedOffset = 0;
    QTimer* m_sliceTimer = nullptr;
    // The oversize body: the page, then filler up to the announced length.
    QByteArray m_streamPage;
    qint64 m_streamLength = 0;
    qint64 m_streamOffset = 0;
};
