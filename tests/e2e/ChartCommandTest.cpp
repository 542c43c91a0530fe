// "vezizo chart" run as a process: the PNG it writes, its argument errors and
// the files it cannot draw.
#include "KDFile.h"
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class ChartCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid() && m_config.isValid() && m_elsewhere.isValid());
        ASSERT_TRUE(QFile::copy(VEZIZO_SOURCE_DIR "/Resources/market.csv",
                                m_folder.filePath("market.csv")));
        ASSERT_TRUE(WriteFetchList(m_folder.path(), "7203.t,7203,t,TOYOTA\n"));
        CSimMarket market = TestSimMarket();
        market.setHistoryLength(7203, 400);
        ASSERT_TRUE(
            WriteKDFile(m_folder.filePath("KD7203.KDT"), ExpectedKDRecords(market, 7203, 400)));
    }
    // Runs in another folder, so that a relative --png is seen to name a file
    // there.
    ProcessResult chart(const QStringList& arguments) {
        const QString before = QDir::currentPath();
        QDir::setCurrent(m_elsewhere.path());
        ProcessResult run = RunVezizo(QStringList{"--folder", m_folder.path(), "chart"} + arguments,
                                      m_config.path());
        QDir::setCurrent(before);
        return run;
    }

    QTemporaryDir m_folder;
    QTemporaryDir m_config;
    QTemporaryDir m_elsewhere;
};

TEST_F(ChartCommandTest, WritesAPictureOfTheGivenSize) {
    const struct {
        QStringList arguments;
        QString file;
        QSize size;
    } cases[] = {
        {{"7203"}, m_folder.filePath("KD7203.png"), QSize(1200, 800)},
        {{"7203", "--png", "out.png", "--days", "30", "--size", "640x400"},
         m_elsewhere.filePath("out.png"),
         QSize(640, 400)},
        {{"--size", "2000x1000", "7203.T", "--png", m_elsewhere.filePath("all.png"), "--days",
          "100000"},
         m_elsewhere.filePath("all.png"),
         QSize(2000, 1000)},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ProcessResult run = chart(row.arguments);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), row.file);
        const QImage picture(row.file);
        EXPECT_EQ(picture.size(), row.size);
        EXPECT_TRUE(picture.format() != QImage::Format_Invalid);
    }
    // For a person to look at.
    QDir().mkpath(VEZIZO_BUILD_DIR "/screenshots");
    QFile::remove(VEZIZO_BUILD_DIR "/screenshots/ChartCommand.png");
    QFile::copy(m_elsewhere.filePath("out.png"), VEZIZO_BUILD_DIR "/screenshots/ChartCommand.png");
}

TEST_F(ChartCommandTest, WrongArgumentsAreUsageErrorsNamingTheArgument) {
    const struct {
        QStringList arguments;
        const char* named;
    } cases[] = {
        {{}, "CODE is missing"},
        {{"abc"}, "CODE abc: a stock code begins with a number"},
        {{"7203", "6758"}, "unexpected argument 6758"},
        {{"7203", "--days", "0"}, "--days 0"},
        {{"7203", "--days", "-5"}, "--days -5"},
        {{"7203", "--days", "99999999999"}, "--days 99999999999"},
        {{"7203", "--size", "800"}, "--size 800"},
        {{"7203", "--size", "10x10"}, "--size 10x10"},
        {{"7203", "--size", "9000x800"}, "--size 9000x800"},
        {{"7203", "--png"}, "--png needs a value"},
        {{"7203", "--colour", "red"}, "unexpected argument --colour"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ProcessResult run = chart(row.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains(QString("vezizo chart: ") + row.named))
            << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(m_folder.path()).entryList({"*.png"}).isEmpty());
}

// Nothing to draw: status 1 with the reason, and no picture; a picture that
// cannot be written leaves the file that was there.
TEST_F(ChartCommandTest, FilesThatCannotBeDrawnEndWithOne) {
    QFile broken(m_folder.filePath("KD1301.KDT"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(53, '\0'));
    broken.close();
    const struct {
        const char* code;
        const char* reason;
    } cases[] = {
        {"6758", "KD6758.KDT: no such file"},
        {"1301", "KD1301.KDT: the file's size is not a multiple of 26 bytes"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.code);
        const ProcessResult run = chart({row.code});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(row.reason)) << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(m_folder.path()).entryList({"*.png"}).isEmpty());

    const QString blocked = m_elsewhere.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(blocked + "/out.png")); // a folder where the file should go
    const ProcessResult run = chart({"7203", "--png", blocked + "/out.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("could not write")) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo(blocked + "/out.png").isDir());
}
