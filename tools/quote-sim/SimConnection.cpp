#include "SimConnection.h"

#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <memory>

#include <sys/socket.h>

namespace {

constexpr int kMaxRequestBytes = 65536;
constexpr qint64 kStreamChunk = 65536;
constexpr qint64 kStreamBacklog = 4 * kStreamChunk;
constexpr int kResetDelayMs = 100; // lets the client take the bytes before the reset
// A capped answer goes out in slices this far apart.
constexpr int kSliceMs = 10;

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

qint64 nowMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// "1733475600.123456": seconds since the epoch, to the microsecond.
QByteArray timeStamp(qint64 microseconds) {
    return QByteArray::number(microseconds / 1000000) + '.' +
           QByteArray::number(microseconds % 1000000).rightJustified(6, '0');
}

// Filler that follows the page in an oversize body, repeated.
const QByteArray& fillerBlock() {
    static const QByteArray block = QByteArray("<!-- filler -->\n").repeated(kStreamChunk / 16 + 1);
    return block;
}

} // namespace

CSimConnection::CSimConnection(QTcpSocket* socket, CSimServer& server)
    : QObject(&server), m_socket(socket), m_server(server) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &CSimConnection::readRequest);
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        // A request whose answer never came (the client gave up first).
        if (m_answered)
            logAnswer(0);
        deleteLater();
    });
    readRequest();
}

void CSimConnection::logAnswer(int status, int retryAfter) {
    // A request too long to be read has no line to log.
    if (m_logged || m_logLine.isEmpty())
        return;
    m_logged = true;
    QByteArray line = m_logLine + "\tstart=" + timeStamp(m_startUs) +
                      "\tend=" + timeStamp(nowMicroseconds()) +
                      "\tstatus=" + (status > 0 ? QByteArray::number(status) : QByteArray("-"));
    if (retryAfter > 0)
        line += "\tretry-after=" + QByteArray::number(retryAfter);
    m_server.log(line);
}

void CSimConnection::readRequest() {
    if (m_answered) {
        m_socket->readAll(); // one request per connection; later bytes are dropped
        return;
    }
    m_request += m_socket->readAll();
    int end = int(m_request.indexOf("\r\n\r\n"));
    if (end < 0)
        end = int(m_request.indexOf("\n\n"));
    if (end < 0) {
        if (m_request.size() > kMaxRequestBytes) {
            m_answered = true;
            writeAndClose({400, CSimPages::errorPage(400, "Bad Request"), {}});
        }
        return;
    }
    m_answered = true;
    m_startUs = nowMicroseconds();

    QList<QByteArray> lines = m_request.left(end).split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    const QList<QByteArray> requestLine = lines.value(0).split(' ');
    QByteArray logLine = lines.value(0).left(lines.value(0).lastIndexOf(' '));
    QByteArray hostPort;
    for (int i = 1; i < lines.size(); ++i) {
        logLine += '\t' + lines[i];
        if (lines[i].toLower().startsWith("host:"))
            hostPort = lines[i].mid(5).trimmed();
    }
    m_logLine = logLine;

    QByteArray target = requestLine.value(1);
    if (target.startsWith("http://")) { // absolute form, as a proxy may send it
        const int slash = int(target.indexOf('/', 7));
        if (hostPort.isEmpty())
            hostPort = target.mid(7, slash < 0 ? -1 : slash - 7);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    if (hostPort.isEmpty())
        hostPort = "127.0.0.1:" + QByteArray::number(m_socket->localPort());
    if (requestLine.size() < 3 || requestLine[0] != "GET" || !target.startsWith('/')) {
        writeAndClose({400, CSimPages::errorPage(400, "Bad Request"), {}});
        return;
    }
    // The hops of a redirect chain are the service's own doing: no rule applies
    // to them. A throttle counts the request when it comes, not when answered.
    if (!target.startsWith("/redirect/"))
        m_fault = m_server.faultFor(target);
    const int latency = m_server.nextLatency();
    if (latency <= 0) {
        answer(target, hostPort);
        return;
    }
    QTimer::singleShot(latency, Qt::PreciseTimer, this,
                       [this, target, hostPort] { answer(target, hostPort); });
}

void CSimConnection::answer(const QByteArray& target, const QByteArray& hostPort) {
    const qint64 amount = qint64(m_fault.argument); // a count, a status or a byte count
    switch (m_fault.kind) {
    case SimFaultKind::None:
        writeAndClose(m_server.route(target, hostPort));
        return;
    case SimFaultKind::Silence:
        logAnswer(0);
        return;
    case SimFaultKind::SilenceAfterHeaders: {
        const SimResponse response = m_server.route(target, hostPort);
        logAnswer(response.status);
        writeHead(response, response.body.size());
        return;
    }
    case SimFaultKind::Drip:
        drip(m_server.route(target, hostPort).body, m_fault.argument);
        return;
    case SimFaultKind::Redirect:
        if (amount <= 0) {
            writeAndClose(m_server.route(target, hostPort));
            return;
        }
        writeAndClose(
            {302, CSimPages::errorPage(302, "Found"),
             "http://" + hostPort + "/redirect/" + QByteArray::number(amount - 1) + target});
        return;
    case SimFaultKind::RedirectLoop:
        writeAndClose({302, CSimPages::errorPage(302, "Found"), "http://" + hostPort + target});
        return;
    case SimFaultKind::Status: {
        const int status = int(amount);
        writeAndClose({status, CSimPages::errorPage(status, reasonPhrase(status)), {}});
        return;
    }
    case SimFaultKind::Truncate: {
        const SimResponse response = m_server.route(target, hostPort);
        logAnswer(response.status);
        writeHead(response, response.body.size());
        m_socket->write(response.body.left(amount));
        m_socket->disconnectFromHost();
        return;
    }
    case SimFaultKind::Reset:
        resetAfter(m_server.route(target, hostPort).body, amount);
        return;
    case SimFaultKind::Oversize:
        streamOversize(m_server.route(target, hostPort).body, amount);
        return;
    case SimFaultKind::BadEuc: {
        SimResponse response = m_server.route(target, hostPort);
        response.body = spoilEncoding(response.body);
        writeAndClose(response);
        return;
    }
    case SimFaultKind::Throttle: {
        const int status = 429;
        writeAndClose(
            {status, CSimPages::errorPage(status, reasonPhrase(status)), {}, int(amount)});
        return;
    }
    }
}

void CSimConnection::writeHead(const SimResponse& response, qint64 length) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      reasonPhrase(response.status) +
                      "\r\nContent-Type: text/html; charset=EUC-JP\r\nContent-Length: " +
                      QByteArray::number(length) + "\r\n";
    if (!response.location.isEmpty())
        head += "Location: " + response.location + "\r\n";
    if (response.retryAfter > 0)
        head += "Retry-After: " + QByteArray::number(response.retryAfter) + "\r\n";
    head += "Connection: close\r\n\r\n";
    m_socket->write(head);
}

void CSimConnection::writeAndClose(const SimResponse& response) {
    if (m_server.rate() <= 0) {
        logAnswer(response.status, response.retryAfter);
        writeHead(response, response.body.size());
        m_socket->write(response.body);
        m_socket->disconnectFromHost();
        return;
    }
    // The head goes out with the body's first slice.
    writeHead(response, response.body.size());
    m_paced = response;
    m_sliceTimer = new QTimer(this);
    m_sliceTimer->setTimerType(Qt::PreciseTimer);
    m_sliceTimer->setInterval(kSliceMs);
    connect(m_sliceTimer, &QTimer::timeout, this, &CSimConnection::sendPacedSlice);
    m_sliceTimer->start();
    sendPacedSlice();
}

void CSimConnection::sendPacedSlice() {
    const QByteArray& body = m_paced.body;
    const qint64 slice = std::max<qint64>(1, m_server.rate() * kSliceMs / 1000);
    const bool last = m_pacedOffset + slice >= body.size();
    if (last)
        logAnswer(m_paced.status, m_paced.retryAfter);
    m_socket->write(body.mid(m_pacedOffset, slice));
    m_pacedOffset += slice;
    if (last) {
        m_sliceTimer->stop();
        m_socket->disconnectFromHost();
    }
}

void CSimConnection::drip(const QByteArray& body, double seconds) {
    writeHead({}, body.size());
    m_socket->flush();
    const qint64 part = (body.size() + 2) / 3;
    auto* timer = new QTimer(this);
    timer->setInterval(int(seconds * 1000.0));
    auto sent = std::make_shared<int>(0);
    connect(timer, &QTimer::timeout, this, [this, timer, body, part, sent] {
        if (*sent == 2)
            logAnswer(200);
        m_socket->write(body.mid(*sent * part, part));
        if (++*sent == 3) {
            timer->stop();
            m_socket->disconnectFromHost();
        }
    });
    timer->start();
}

void CSimConnection::resetAfter(const QByteArray& body, qint64 bytes) {
    logAnswer(200);
    writeHead({}, body.size());
    m_socket->write(body.left(bytes));
    m_socket->flush();
    QTimer::singleShot(kResetDelayMs, this, [this] {
        // A zero linger time makes the close send a reset instead of a FIN.
        const linger immediate{1, 0};
        ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediate,
                     sizeof immediate);
        m_socket->abort();
        deleteLater();
    });
}

void CSimConnection::streamOversize(const QByteArray& page, qint64 length) {
    writeHead({}, length);
    m_streamPage = page;
    m_streamLength = length;
    connect(m_socket, &QTcpSocket::bytesWritten, this, &CSimConnection::feedStream);
    feedStream();
}

void CSimConnection::feedStream() {
    while (m_streamOffset < m_streamLength && m_socket->bytesToWrite() < kStreamBacklog) {
        const qint64 size = std::min(kStreamChunk, m_streamLength - m_streamOffset);
        QByteArray chunk;
        if (m_streamOffset < m_streamPage.size())
            chunk = m_streamPage.mid(m_streamOffset, size);
        const qint64 fillerOffset =
            std::max<qint64>(0, m_streamOffset + chunk.size() - m_streamPage.size()) % 16;
        chunk += fillerBlock().mid(fillerOffset, size - chunk.size());
        if (m_streamOffset + size == m_streamLength)
            logAnswer(200);
        m_socket->write(chunk);
        m_streamOffset += size;
        if (m_streamOffset == m_streamLength)
            m_socket->disconnectFromHost();
    }
}
