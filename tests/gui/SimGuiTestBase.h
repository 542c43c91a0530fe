// The real program against a quote-sim of its own: each test starts the
// service with its faults and the program with its fetch list.
#pragma once

#include "AppFolder.h"
#include "GuiTestBase.h"

#include <QDate>
#include <QFile>

#include <memory>

class SimGuiTestBase : public GuiTestWithoutFetchList {
protected:
    // Each test calls start() with its own fetch list and service.
    void SetUp() override {}

    void start(const QByteArray& fetchList, const QStringList& simArguments = {}) {
        m_sim = std::make_unique<QuoteSimProcess>(QStringList{"--log", m_log} + simArguments);
        ASSERT_TRUE(m_sim->isRunning());
        ASSERT_TRUE(WriteTestFile(path("fetchlist.csv"), fetchList));
        ASSERT_TRUE(WriteServersConf(m_folder.path(), *m_sim));
        GuiTestWithoutFetchList::SetUp();
    }

    const JobSheet& fetchSheet() { return *controller().jobSheet(CMetalWindow::kFetchSheet); }
    static std::string text(ControlRef control) {
        char buffer[64] = "";
        GetControlText(control, buffer, sizeof buffer);
        return buffer;
    }
    bool waitForFetchEnd(int timeoutMs = 10000) {
        return waitUntil([this] { return !fetchSheet().running; }, timeoutMs);
    }
    // Quote page requests the service has answered so far.
    int quoteRequests() const {
        QFile log(m_log);
        if (!log.open(QIODevice::ReadOnly))
            return 0;
        return int(log.readAll().count("GET /q?s="));
    }
    // The daily file of the service's trading day (the year is this one).
    QString dailyFile() const {
        const QDate day = TestMarket().tradingDate();
        return path(qPrintable(QString::asprintf(
            "DS%02d%02d%02d.DAT", QDate::currentDate().year() - 2000, day.month(), day.day())));
    }
    // The first count stocks of the market, from the first-th on, as
    // fetch-list lines.
    static QByteArray stocks(int first, int count) {
        QByteArray lines;
        for (int i = first; i < first + count; ++i)
            lines += CSimMarket::fetchListLine(TestMarket().stocks().at(i));
        return lines;
    }
    // The fault rule for the request of a page whose first stock is stock.
    static QString pageFault(const char* kind, int stock) {
        return QStringLiteral("%1@/q?s=%2")
            .arg(QLatin1String(kind), TestMarket().stocks().at(stock).quoteCode);
    }

    QString m_log = m_folder.filePath("quote-sim.log");
    std::unique_ptr<QuoteSimProcess> m_sim;
};
