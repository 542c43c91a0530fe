// A job test against the simulated quote service: the program is built as
// in GuiTestBase, then pointed at a service started for the test and given a
// fetch list of the service's stocks.
#pragma once

#include "GuiTestBase.h"

#include "Fetch/FetchData.h"
#include "Fetch/QuoteServers.h"
#include "SimAppFolder.h"
#include "VezizoMain.h"

#include <QFile>

#include <memory>

class SimJobTestBase : public GuiTestBase {
protected:
    // Starts the service (logging its requests to logFile()) with extra
    // arguments and loads a fetch list of codes.
    void startService(const QVector<int>& codes, QStringList simArguments = {}) {
        simArguments << "--log" << logFile();
        m_sim = std::make_unique<QuoteSimProcess>(simArguments);
        ASSERT_TRUE(m_sim->isRunning());
        ASSERT_TRUE(WriteServersConf(m_folder.path(), *m_sim));
        ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
        LoadQuoteServers(g_startupPath);
        ASSERT_EQ(g_fetchData->LoadFetchData(g_startupPath), 0);
    }
    QString logFile() const { return path("quote-sim.log"); }
    // How many requests the service has logged whose line holds text.
    int requests(const QByteArray& text) const {
        QFile log(logFile());
        if (!log.open(QIODevice::ReadOnly))
            return 0;
        int count = 0;
        for (const QByteArray& line : log.readAll().split('\n'))
            count += line.contains(text) ? 1 : 0;
        return count;
    }
    const JobSheet& sheet(int32_t number) { return *controller().jobSheet(number); }
    static QString countText(const JobSheet& sheet) {
        char text[32] = "";
        GetControlText(sheet.countText, text, sizeof text);
        return QString::fromLatin1(text);
    }
    bool waitForEnd(const JobSheet& sheet, int timeoutMs = 30000) {
        return waitUntil([&sheet] { return !sheet.running; }, timeoutMs);
    }

    std::unique_ptr<QuoteSimProcess> m_sim;
};
