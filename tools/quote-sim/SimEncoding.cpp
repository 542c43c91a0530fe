#include "SimEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toEucJp(const QString& text) {
    QStringEncoder encoder("EUC-JP");
    return encoder.encode(text);
}

QByteArray toShiftJis(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

QString fromShiftJis(const QByteArray& bytes) {
    QStringDecoder decoder("Shift_JIS");
    return decoder.decode(bytes);
}
