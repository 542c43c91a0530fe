// The program run as a process, as a user runs it from a shell, on a fresh
// application folder and a fresh settings folder for each test.
#pragma once

#include "KDFile.h"
#include "KDTFile.h"
#include "RisingDays.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class ProcessTestBase : public ::testing::Test {
protected:
    // Runs the program on the folder with arguments.
    ProcessResult run(const QStringList& arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + arguments, m_config.path());
    }
    // Empties the folder and lays it out for sim.
    void layOut(const QuoteSimProcess& sim) {
        ASSERT_TRUE(m_folder.remove() && QDir().mkpath(m_folder.path()) &&
                    LayOutAppFolder(m_folder.path(), sim));
    }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    QByteArray bytes(const QString& name) const { return ReadAppFile(m_folder.path(), name); }
    bool write(const QString& name, const QByteArray& bytes) const {
        return WriteAppFile(m_folder.path(), name, bytes);
    }

    std::unique_ptr<QuoteSimProcess> m_sim;
    QTemporaryDir m_folder, m_config;
};
