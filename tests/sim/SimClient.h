// A bare HTTP client on POSIX sockets for the service tests: it sends one GET
// and records every byte, when it came, and how the connection ended, so
// that faults can be observed exactly as a downloader meets them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct RawReply {
    enum End { Closed, Reset, StillOpen, NoConnection };
    End end = NoConnection;
    QByteArray head; // status line and headers, without the blank line
    QByteArray body;
    int status = 0;
    // Milliseconds after the request until each read that brought body bytes.
    QList<qint64> bodyArrivals;

    // The value of a header, empty when absent.
    QByteArray header(const QByteArray& name) const;
};

// GET target from 127.0.0.1:port; gives up waiting after waitMs of silence.
RawReply rawGet(quint16 port, const QByteArray& target, int waitMs = 5000);

// A page decoded from EUC-JP; *valid is false when a byte sequence was not EUC-JP.
QString decodeEucJp(const QByteArray& page, bool* valid);
// The table rows of a page as the program's readers see them: rows from "<tr"
// to "</tr>", cells from "<td" to "</td>", the text outside tags.
QList<QStringList> tableRows(const QString& page);
