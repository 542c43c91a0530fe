#include "SimClient.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStringDecoder>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

QByteArray RawReply::header(const QByteArray& name) const {
    for (const QByteArray& line : head.split('\n')) {
        const int colon = int(line.indexOf(':'));
        if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

RawReply rawGet(quint16 port, const QByteArray& target, int waitMs) {
    RawReply reply;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return reply;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return reply;
    }
    const QByteArray request =
        "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n";
    if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size()) {
        ::close(fd);
        return reply;
    }
    QElapsedTimer clock;
    clock.start();
    QByteArray received;
    qsizetype headEnd = -1;
    reply.end = RawReply::StillOpen;
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, waitMs) <= 0)
            break;
        char buffer[65536];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0) {
            reply.end = RawReply::Closed;
            break;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reply.end = errno == ECONNRESET ? RawReply::Reset : RawReply::Closed;
            break;
        }
        const qsizetype before = received.size();
        received.append(buffer, n);
        if (headEnd < 0)
            headEnd = received.indexOf("\r\n\r\n");
        if (headEnd >= 0 && received.size() > std::max<qsizetype>(before, headEnd + 4))
            reply.bodyArrivals.append(clock.elapsed());
    }
    ::close(fd);
    if (headEnd < 0) {
        reply.head = received;
        return reply;
    }
    reply.head = received.left(headEnd);
    reply.body = received.mid(headEnd + 4);
    const QList<QByteArray> statusLine = reply.head.left(reply.head.indexOf('\r')).split(' ');
    reply.status = statusLine.value(1).toInt();
    return reply;
}

QString decodeEucJp(const QByteArray& page, bool* valid) {
    QStringDecoder decoder("EUC-JP");
    const QString text = decoder.decode(page);
    *valid = decoder.isValid() && !decoder.hasError();
    return text;
}

QList<QStringList> tableRows(const QString& page) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QList<QStringList> rows;
    for (qsizetype row = page.indexOf(QLatin1String("<tr")); row >= 0;) {
        const qsizetype rowEnd = page.indexOf(QLatin1String("</tr>"), row);
        if (rowEnd < 0)
            break;
        const QString text = page.mid(row, rowEnd - row);
        QStringList cells;
        for (qsizetype cell = text.indexOf(QLatin1String("<td")); cell >= 0;) {
            qsizetype cellEnd = text.indexOf(QLatin1String("</td>"), cell);
            if (cellEnd < 0)
                cellEnd = text.size();
            QString cellText = text.mid(cell, cellEnd - cell);
            cells.append(cellText.remove(tags));
            cell = text.indexOf(QLatin1String("<td"), cellEnd);
        }
        rows.append(cells);
        row = page.indexOf(QLatin1String("<tr"), rowEnd);
    }
    return rows;
}
