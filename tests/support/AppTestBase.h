// A fresh application folder and a fresh settings folder for each test, the
// simulated service it starts, and the program run on them as a process, as a
// user runs it from a shell.
#pragma once

#include "KDFile.h"
#include "KDTFile.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class AppTestBase : public ::testing::Test {
protected:
    // Runs the program on the folder with arguments.
    ProcessResult run(const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + arguments, m_config.path());
    }
    // The service with arguments (its faults), logging afresh to quote-sim.log
    // in the settings folder, named in the folder's servers.conf.
    void serve(QStringList arguments) {
        m_sim.reset();
        QFile::remove(m_config.filePath("quote-sim.log"));
        m_sim = std::make_unique<QuoteSimProcess>(arguments << "--log"
                                                            << m_config.filePath("quote-sim.log"));
        ASSERT_TRUE(m_sim->isRunning() && WriteServersConf(m_folder.path(), *m_sim));
    }
    // The service's log since serve().
    QString simLog() const {
        return QString::fromLatin1(ReadAppFile(m_config.path(), "quote-sim.log"));
    }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    // The shipped market table and, when given, a fetch list in the folder.
    bool layOut(const QByteArray& fetchList = {}) const {
        return QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv", path("market.csv")) &&
               (fetchList.isEmpty() || write("fetchlist.csv", fetchList));
    }
    // The stock's history file: its bytes, the records it gives, and days
    // written into it by the program's own writer.
    QByteArray kd(int code) const { return bytes(QString::fromStdString(KDTFileName(code))); }
    bool writeKD(int code, const std::vector<KDT>& days) const {
        return WriteKDTFile(m_folder.path().toStdString(), code, days) == int32_t(days.size());
    }
    std::vector<KDT> records(int code) const {
        std::vector<KDT> days;
        ReadKDTFile(path(QString::fromStdString(KDTFileName(code))).toStdString(), days);
        return days;
    }
    QByteArray bytes(const QString& name) const { return ReadAppFile(m_folder.path(), name); }
    bool write(const QString& name, const QByteArray& bytes) const {
        return WriteAppFile(m_folder.path(), name, bytes);
    }

    std::unique_ptr<QuoteSimProcess> m_sim;
    QTemporaryDir m_folder, m_config;
};
