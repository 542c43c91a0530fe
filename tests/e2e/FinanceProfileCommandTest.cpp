// "vezizo finance" and "vezizo profile" run as processes against the
// simulated service; their files are checked against the service's data.
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class FinanceProfileCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid() && m_config.isValid());
        ASSERT_TRUE(m_sim.isRunning());
        ASSERT_TRUE(LayOutAppFolder(m_folder.path(), m_sim));
    }
    QString file(const QString& name) const { return m_folder.filePath(name); }
    ProcessResult run(QStringList arguments) {
        return RunVezizo(QStringList{"--folder", m_folder.path()} + arguments, m_config.path());
    }
    QByteArray dictionary() const {
        QFile dic(file("VellmarkEx.DIC"));
        return dic.open(QIODevice::ReadOnly) ? dic.readAll() : QByteArray();
    }

    QuoteSimProcess m_sim;
    QTemporaryDir m_folder;
    QTemporaryDir m_config;
};

TEST_F(FinanceProfileCommandTest, FinanceWritesTheFNFile) {
    const QVector<int> codes = KnownCodes(40) + UnknownCodes(10) + KnownCodes(7, 40);
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
    ProcessResult result = run({"finance"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("finance: 2/2, count 47")) << result.err.toStdString();

    const QString fn = FinanceFileIn(m_folder.path());
    ASSERT_FALSE(fn.isEmpty());
    int count = -1;
    EXPECT_EQ(FinanceFileRecords(fn, nullptr, &count), ExpectedFinanceRecords(codes));
    EXPECT_EQ(count, 47);
}

TEST_F(FinanceProfileCommandTest, ProfileKeepsFilesAndFillsTheDictionary) {
    const QVector<int> codes = KnownCodes(4, 500);
    ASSERT_TRUE(WriteFetchList(m_folder.path(), FetchListLines(codes)));
    EXPECT_EQ(run({"profile", "--offline", "--offline"}).status, 2);
    EXPECT_EQ(run({"profile", "--everything"}).status, 2);

    ProcessResult result = run({"profile", "--keep-files"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("count 4")) << result.err.toStdString();
    const QByteArray dic = dictionary();
    ASSERT_EQ(dic.size(), 10000 * 1024);
    for (int code : codes) {
        ExpectDictionaryRecordMatches(dic, code);
        EXPECT_TRUE(QFile::exists(file(
            QString::asprintf("webtemp/fundamental/%04d/%04d.html", code / 1000 * 1000, code))));
    }

    // Only an existing dictionary, offline: the stored pages fill it again.
    ASSERT_TRUE(QFile::remove(file("VellmarkEx.DIC")));
    EXPECT_EQ(run({"profile", "--existing-dictionary-only", "--offline"}).status, 1);
    result = run({"profile", "--offline"});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    for (int code : codes)
        ExpectDictionaryRecordMatches(dictionary(), code);
}
