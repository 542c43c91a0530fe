// The Debian package as a user gets it: built by cpack (the package.build
// test), unpacked into a root of its own with dpkg-deb and run from there
// with a home folder of its own.
#include "SimAppFolder.h"
#include "VezizoProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QString kPackage = QStringLiteral(VEZIZO_PACKAGE_DIR "/vezizo_" VEZIZO_VERSION "_amd64.deb");

// A checking tool's exit status and all it printed: "0: " when it was content.
std::string Verdict(const ProcessResult& run) {
    return std::to_string(run.status) + ": " + (run.out + run.err).toStdString();
}

} // namespace

// The package holds the program, its menu entry, manual page and timer; run
// from there the program keeps its application folder in the home folder.
TEST(Package, InstallsTheProgramThatKeepsItsFolderInTheHomeFolder) {
    QTemporaryDir root;
    ASSERT_EQ(Verdict(RunProcess("dpkg-deb", {"-x", kPackage, root.path()})), "0: ");
    // A path in the unpacked root, such as "usr/bin/vezizo".
    const auto path = [&](const QString& name) { return root.filePath(name); };
    // Writable again at the end, so that the temporary root can be removed.
    const QString lib = path("usr/lib/vezizo");
    const auto writable = qScopeGuard([&] {
        QFile::setPermissions(lib, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

    // The program, menu entry, manual page and units are read by the checks
    // below, and the copyright and changelog by lintian (package.lintian).
    EXPECT_TRUE(QFileInfo(path("usr/share/icons/hicolor/scalable/apps/vezizo.svg")).isFile());
    const ProcessResult fields = RunProcess("dpkg-deb", {"-f", kPackage, "Depends", "Recommends"});
    EXPECT_TRUE(fields.out.contains(QRegularExpression("^Depends: .*libqt6widgets6")) &&
                fields.out.contains("\nRecommends: fonts-noto-cjk\n"))
        << fields.out.toStdString();
    EXPECT_EQ(Verdict(RunProcess("desktop-file-validate",
                                 {path("usr/share/applications/vezizo.desktop")})),
              "0: ");

    // systemd checks that the program and the manual page named by the units
    // exist; both are looked for in the unpacked root instead of the system.
    const QString units = path("usr/lib/systemd/user/"), unit = units + "vezizo-fetch.";
    QByteArray service = ReadAppFile(units, "vezizo-fetch.service");
    service.replace("ExecStart=/usr/bin/vezizo", "ExecStart=" + path("usr/bin/vezizo").toUtf8());
    ASSERT_TRUE(WriteAppFile(units, "vezizo-fetch.service", service));
    QProcessEnvironment systemd = QProcessEnvironment::systemEnvironment();
    systemd.insert("XDG_RUNTIME_DIR", root.path());
    systemd.insert("MANPATH", path("usr/share/man"));
    EXPECT_EQ(Verdict(RunProcess("systemd-analyze",
                                 {"--user", "verify", unit + "service", unit + "timer"}, systemd)),
              "0: ");

    // The manual page has an entry for every subcommand the program knows and
    // names every option.
    const ProcessResult page = RunProcess("gzip", {"-dc", path("usr/share/man/man1/vezizo.1.gz")});
    const QString text =
        QString(page.out).remove(QRegularExpression(R"(\\f[BIRP])")).replace("\\-", "-");
    const QString entries = text.section(".SH SUBCOMMANDS", 1).section("\n.SH ", 0, 0);
    int nSubcommands = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(R"(\] ([a-z]+)|(--[a-z-]+))").globalMatch(RunVezizo({"--help"}).out)) {
        const QString entry = m.captured(1), option = m.captured(2);
        nSubcommands += !entry.isEmpty();
        const QRegularExpression re(entry.isEmpty() ? "[^a-z-]" + option + "($|[^a-z-])"
                                                    : "\\.TP\n(\\.BR? )?" + entry + "( |\n)");
        EXPECT_TRUE((entry.isEmpty() ? text : entries).contains(re)) << m.captured().toStdString();
    }
    EXPECT_GE(nSubcommands, 6);

    // Run as a user whose application folder is not beside the program, as under
    // /usr/lib: that folder read-only and, for root, who could write to it all
    // the same, the run without the capability to override file permissions. A
    // session without a runtime folder, as under cron. It runs through
    // usr/bin/vezizo, a link that must lead into the unpacked root.
    QuoteSimProcess sim;
    QTemporaryDir home;
    ASSERT_TRUE(sim.isRunning() && home.isValid());
    QFile::setPermissions(lib,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    for (const char* name : {"VEZIZO_FOLDER", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(name);
    const QStringList asUser = {"--bounding-set=-dac_override", "--inh-caps=-dac_override", "--"};
    const auto runInstalled = [&](const QString& job) {
        const QStringList command = {path("usr/bin/vezizo"), job};
        return geteuid() != 0 ? RunProcess(command[0], {job}, environment)
                              : RunProcess("setpriv", asUser + command, environment);
    };
    EXPECT_EQ(runInstalled("--version").out, QStringLiteral("vezizo " VEZIZO_VERSION "\n"));

    // The first start makes ~/Vezizo with the shipped market table, copied
    // from the package's.
    const QByteArray shipped = ReadAppFile(VEZIZO_SOURCE_DIR, "Resources/market.csv");
    const QString folder = home.filePath("Vezizo");
    const ProcessResult first = runInstalled("quotes"); // and says nothing else
    EXPECT_EQ(std::pair(first.status, first.err),
              std::pair(1, QString::fromUtf8("vezizo quotes: fetchlist.csvが見つかりません。\n")));
    EXPECT_EQ(ReadAppFile(folder, "market.csv"), shipped);

    ASSERT_TRUE(WriteServersConf(folder, sim) &&
                WriteFetchList(folder, FetchListLines(KnownCodes(60))));
    // Progress only, then the file written; nothing else on standard error.
    const ProcessResult fetch = runInstalled("fetch");
    const QRegularExpression progress("^fetch: .*\n", QRegularExpression::MultilineOption);
    EXPECT_EQ(std::pair(fetch.status, QString(fetch.err).remove(progress)),
              std::pair(0, "vezizo fetch: " + SimDayFileName("DS") + ": 60 stocks, 0 missing\n"));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(SimDayFileName("DS"))));

    // $VEZIZO_FOLDER names another folder, made the same way.
    environment.insert("VEZIZO_FOLDER", home.filePath("quotes/daily"));
    EXPECT_EQ(runInstalled("quotes").status, 1);
    EXPECT_EQ(ReadAppFile(home.filePath("quotes/daily"), "market.csv"), shipped);
}
