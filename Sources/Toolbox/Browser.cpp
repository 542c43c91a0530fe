#include "Browser.h"

#include <QDesktopServices>
#include <QUrl>

bool LaunchURL(const char* url) {
    QString text = QString::fromUtf8(url);
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    return QDesktopServices::openUrl(QUrl(text));
}
