// Takes the URLs the program hands to the web browser while it exists, so
// that tests see them and no browser starts.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url);
};
