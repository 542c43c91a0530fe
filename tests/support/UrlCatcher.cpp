#include "UrlCatcher.h"

#include <QDesktopServices>

UrlCatcher::UrlCatcher() {
    QDesktopServices::setUrlHandler("http", this, "open");
}

UrlCatcher::~UrlCatcher() {
    QDesktopServices::unsetUrlHandler("http");
}

void UrlCatcher::open(const QUrl& url) {
    urls.append(url);
}
