// Requests through a real HTTP proxy (tinyproxy, started on a free loopback
// port for the test), and a proxy that is not there.
#include "DownloadTestUtil.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A loopback port that nothing listens on at the moment.
quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

TEST(Proxy, RequestsGoThroughTheProxyOnlyWhenAsked) {
    QTemporaryDir folder;
    const QString log = folder.filePath("sim.log");
    QuoteSimProcess sim({"--log", log});
    ASSERT_TRUE(sim.isRunning());
    // tinyproxy in the foreground, its configuration, log and pid file in folder.
    const quint16 port = freePort();
    ASSERT_TRUE(WriteAppFile(folder.path(), "tinyproxy.conf",
                             QStringLiteral("Port %1\nListen 127.0.0.1\nAllow 127.0.0.1\n"
                                            "LogFile \"%2/tinyproxy.log\"\nPidFile "
                                            "\"%2/tinyproxy.pid\"\nMaxClients 10\nTimeout 30\n")
                                 .arg(port)
                                 .arg(folder.path())
                                 .toUtf8()));
    QProcess proxy;
    proxy.setProcessChannelMode(QProcess::ForwardedChannels);
    proxy.start(QStandardPaths::findExecutable("tinyproxy", {"/usr/bin", "/usr/sbin"}),
                {"-d", "-c", folder.filePath("tinyproxy.conf")});
    ASSERT_TRUE(serveEventsUntil(
        [&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            return proxy.state() == QProcess::Running && socket.waitForConnected(200);
        },
        10000));

    const QString url = sim.url("/q?s=1301&d=v2");
    CHTTPAccess direct(false, "127.0.0.1", port), viaProxy(true, "127.0.0.1", port);
    EXPECT_EQ(downloadInto(direct, url, folder.filePath("a")), quotePage("1301"));
    EXPECT_FALSE(fileBytes(log).contains("tinyproxy"));
    EXPECT_EQ(downloadInto(viaProxy, url, folder.filePath("b")), quotePage("1301"));
    EXPECT_TRUE(fileBytes(log).contains("Via:") && fileBytes(log).contains("tinyproxy"));
    proxy.terminate();
    proxy.waitForFinished(5000);

    CHTTPAccess nowhere(true, "127.0.0.1", freePort());
    EXPECT_TRUE(downloadInto(nowhere, url, folder.filePath("c")).isEmpty());
    EXPECT_EQ(nowhere.outcome().end, DownloadOutcome::kNetworkError);
}

} // namespace
