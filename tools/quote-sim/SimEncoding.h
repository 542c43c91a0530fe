// The two Japanese encodings of the service: pages go out in EUC-JP, the
// shipped market table and the fetch-list lines are Shift-JIS.
#pragma once

#include <QByteArray>
#include <QString>

QByteArray toEucJp(const QString& text);
QByteArray toShiftJis(const QString& text);
QString fromShiftJis(const QByteArray& bytes);
