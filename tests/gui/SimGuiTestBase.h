// A job test whose program starts on a folder already laid out for the
// simulated service, as a user's run would: the fetch list and servers.conf
// are read by the program's own start-up.
#pragma once

#include "SimJobTestBase.h"

class SimGuiTestBase : public SimJobTestBase {
protected:
    bool withFetchList() const override { return false; }
    // Each test calls start() with its own fetch list and service.
    void SetUp() override {}

    void start(const QByteArray& fetchList, QStringList simArguments = {}) {
        simArguments << "--log" << logFile();
        m_sim = std::make_unique<QuoteSimProcess>(simArguments);
        ASSERT_TRUE(m_sim->isRunning());
        ASSERT_TRUE(WriteServersConf(m_folder.path(), *m_sim));
        ASSERT_TRUE(WriteFetchList(m_folder.path(), fetchList));
        SimJobTestBase::SetUp();
    }

    const JobSheet& fetchSheet() { return sheet(CMetalWindow::kFetchSheet); }
    static std::string text(ControlRef control) {
        char buffer[256] = "";
        GetControlText(control, buffer, sizeof buffer);
        return buffer;
    }
    bool waitForFetchEnd(int timeoutMs = 10000) { return waitForEnd(fetchSheet(), timeoutMs); }
    int quoteRequests() const { return requests("GET /q?s="); }
    // The daily file of the service's trading day (the year is this one).
    QString dailyFile() const { return m_folder.filePath(SimDayFileName("DS")); }
    // Fetch-list lines of count stocks of the market from the first-th on.
    static QByteArray stocks(int first, int count) {
        return FetchListLines(KnownCodes(count, first));
    }
    // The fault rule for the request of a page whose first stock is stock.
    static QString pageFault(const char* kind, int stock) {
        return QStringLiteral("%1@/q?s=%2")
            .arg(QLatin1String(kind), TestSimMarket().stocks().at(stock).quoteCode);
    }
};
