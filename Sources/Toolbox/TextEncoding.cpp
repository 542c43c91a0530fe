#include "TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

QString SystemTextToString(const char* sjisText) {
    if (!sjisText)
        return {};
    QStringDecoder decoder("Shift_JIS");
    return decoder.isValid() ? decoder.decode(QByteArray(sjisText)) : QString::fromLatin1(sjisText);
}

size_t StringToSystemText(const QString& text, char* buffer, size_t size) {
    if (!buffer || size == 0)
        return 0;
    QStringEncoder encoder("Shift_JIS");
    size_t length = 0;
    // Character by character, so that a cut never splits a double-byte one.
    for (int i = 0; i < text.size(); ++i) {
        int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QByteArray bytes = encoder.isValid() ? QByteArray(encoder.encode(text.mid(i, n)))
                                             : text.mid(i, n).toLatin1();
        i += n - 1;
        if (length + size_t(bytes.size()) > size - 1)
            break;
        std::memcpy(buffer + length, bytes.constData(), size_t(bytes.size()));
        length += size_t(bytes.size());
    }
    buffer[length] = '\0';
    return length;
}
