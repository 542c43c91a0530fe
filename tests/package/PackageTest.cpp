// The Debian package as a user gets it: built by cpack (the package.build
// test), unpacked into a root of its own with dpkg-deb and run from there
// with a home folder of its own.
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

const QString kPackage = QStringLiteral(VEZIZO_PACKAGE_DIR "/vezizo_" VEZIZO_VERSION "_amd64.deb");
const char* const kLibFolder = "usr/lib/vezizo";

// Everything a tool printed, for a failure message.
std::string Printed(const ProcessResult& run) {
    return (run.out + run.err).toStdString();
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        const ProcessResult unpack = RunProcess("dpkg-deb", {"-x", kPackage, m_root.path()},
                                                QProcessEnvironment::systemEnvironment());
        ASSERT_EQ(unpack.status, 0) << Printed(unpack);
    }
    void TearDown() override {
        // Writable again, so that the temporary root can be removed.
        QFile::setPermissions(path(kLibFolder),
                              QFile::permissions(path(kLibFolder)) | QFile::WriteOwner);
    }

    // A path in the unpacked root, such as "usr/bin/vezizo".
    QString path(const QString& name) const { return m_root.filePath(name); }

    // Runs the unpacked usr/bin/vezizo as a user whose application folder is
    // not beside the program, as under /usr/lib: the folder is made read-only
    // and, for root, who could write to it all the same, the run goes
    // without the capability to override file permissions.
    ProcessResult runInstalled(const QStringList& arguments,
                               const QProcessEnvironment& environment) {
        QFile::setPermissions(path(kLibFolder), QFile::ReadOwner | QFile::ExeOwner |
                                                    QFile::ReadGroup | QFile::ExeGroup |
                                                    QFile::ReadOther | QFile::ExeOther);
        if (geteuid() != 0)
            return RunProcess(path("usr/bin/vezizo"), arguments, environment);
        return RunProcess("setpriv",
                          QStringList{"--bounding-set=-dac_override", "--inh-caps=-dac_override",
                                      "--", path("usr/bin/vezizo")} +
                              arguments,
                          environment);
    }

    QTemporaryDir m_root;
};

} // namespace

TEST_F(PackageTest, HoldsTheProgramItsMenuEntryManualPageAndTimer) {
    for (const char* name :
         {"usr/lib/vezizo/Vezizo.app/Contents/MacOS/vezizo", "usr/lib/vezizo/market.csv",
          "usr/share/applications/vezizo.desktop",
          "usr/share/icons/hicolor/scalable/apps/vezizo.svg", "usr/share/man/man1/vezizo.1.gz",
          "usr/lib/systemd/user/vezizo-fetch.service", "usr/lib/systemd/user/vezizo-fetch.timer",
          "usr/share/doc/vezizo/copyright", "usr/share/doc/vezizo/changelog.gz"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(QFileInfo(path(name)).isFile());
    }
    EXPECT_EQ(std::filesystem::read_symlink(path("usr/bin/vezizo").toStdString()),
              "../lib/vezizo/Vezizo.app/Contents/MacOS/vezizo");
    EXPECT_EQ(ReadAppFile(m_root.path(), "usr/lib/vezizo/market.csv"),
              ReadAppFile(VEZIZO_SOURCE_DIR, "Resources/market.csv"));

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const ProcessResult fields =
        RunProcess("dpkg-deb", {"-f", kPackage, "Depends", "Recommends"}, environment);
    EXPECT_TRUE(fields.out.contains(QRegularExpression("^Depends: .*libqt6widgets6")))
        << Printed(fields);
    EXPECT_TRUE(fields.out.contains("\nRecommends: fonts-noto-cjk\n")) << Printed(fields);

    const ProcessResult desktop = RunProcess(
        "desktop-file-validate", {path("usr/share/applications/vezizo.desktop")}, environment);
    EXPECT_EQ(desktop.status, 0);
    EXPECT_EQ(Printed(desktop), "");

    // systemd checks that the program and the manual page named by the units
    // exist; both are looked for in the unpacked root instead of the system.
    QTemporaryDir units;
    ASSERT_TRUE(units.isValid());
    QByteArray service = ReadAppFile(m_root.path(), "usr/lib/systemd/user/vezizo-fetch.service");
    service.replace("ExecStart=/usr/bin/vezizo", "ExecStart=" + path("usr/bin/vezizo").toUtf8());
    ASSERT_TRUE(WriteAppFile(units.path(), "vezizo-fetch.service", service));
    ASSERT_TRUE(QFile::copy(path("usr/lib/systemd/user/vezizo-fetch.timer"),
                            units.filePath("vezizo-fetch.timer")));
    QProcessEnvironment systemd = environment;
    systemd.insert("XDG_RUNTIME_DIR", units.path());
    systemd.insert("MANPATH", path("usr/share/man"));
    const ProcessResult verify =
        RunProcess("systemd-analyze",
                   {"--user", "verify", units.filePath("vezizo-fetch.service"),
                    units.filePath("vezizo-fetch.timer")},
                   systemd);
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(Printed(verify), "");

    // The manual page has an entry for every subcommand the program knows and
    // names every option.
    const ProcessResult page =
        RunProcess("gzip", {"-dc", path("usr/share/man/man1/vezizo.1.gz")}, environment);
    ASSERT_EQ(page.status, 0) << Printed(page);
    const QString text =
        QString(page.out).remove(QRegularExpression(R"(\\f[BIRP])")).replace("\\-", "-");
    const QString entries = text.section(".SH SUBCOMMANDS", 1).section("\n.SH ", 0, 0);
    const QString usage = RunVezizo({"--help"}).out;
    int subcommands = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(R"(\] ([a-z]+)|(--[a-z-]+))").globalMatch(usage)) {
        const QString entry = m.captured(1), option = m.captured(2);
        subcommands += !entry.isEmpty();
        EXPECT_TRUE(
            entry.isEmpty()
                ? text.contains(QRegularExpression("[^a-z-]" + option + "($|[^a-z-])"))
                : entries.contains(QRegularExpression("\\.TP\n(\\.BR? )?" + entry + "( |\n)")))
            << m.captured(0).toStdString();
    }
    EXPECT_GE(subcommands, 6);
}

TEST_F(PackageTest, KeepsItsApplicationFolderInTheHomeFolder) {
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    // A session without a runtime folder, as under cron.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    for (const char* name : {"VEZIZO_FOLDER", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(name);

    const ProcessResult version = runInstalled({"--version"}, environment);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("vezizo " VEZIZO_VERSION "\n"));

    // The first start makes ~/Vezizo with the shipped market table.
    const QString folder = home.filePath("Vezizo");
    const ProcessResult first = runInstalled({"quotes"}, environment);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.err, QString::fromUtf8("vezizo quotes: fetchlist.csvが見つかりません。\n"));
    EXPECT_EQ(ReadAppFile(folder, "market.csv"),
              ReadAppFile(m_root.path(), "usr/lib/vezizo/market.csv"));

    ASSERT_TRUE(WriteServersConf(folder, sim) &&
                WriteFetchList(folder, FetchListLines(KnownCodes(60))));
    const ProcessResult fetch = runInstalled({"fetch"}, environment);
    ASSERT_EQ(fetch.status, 0) << Printed(fetch);
    EXPECT_TRUE(fetch.err.contains("count 60, missing 0\n")) << Printed(fetch);
    const QStringList days = QDir(folder).entryList({"DS*.DAT"}, QDir::Files);
    ASSERT_EQ(days.size(), 1);
    // Progress only, then the file written; nothing else on standard error.
    QStringList lines = fetch.err.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.takeLast(), "vezizo fetch: " + days[0] + ": 60 stocks, 0 missing");
    for (const QString& line : lines)
        EXPECT_TRUE(line.startsWith("fetch: ")) << line.toStdString();

    // $VEZIZO_FOLDER names another folder, made the same way.
    environment.insert("VEZIZO_FOLDER", home.filePath("quotes/daily"));
    EXPECT_EQ(runInstalled({"quotes"}, environment).status, 1);
    EXPECT_EQ(ReadAppFile(home.filePath("quotes/daily"), "market.csv"),
              ReadAppFile(folder, "market.csv"));
}
