// Requests through a real HTTP proxy (tinyproxy, started on a free loopback
// port for the test), and a proxy that is not there.
#include "DownloadTestUtil.h"
#include "QuoteSimProcess.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kQuotePage = QStringLiteral("/q?s=1301&d=v2");

// A loopback port that nothing listens on at the moment.
quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// tinyproxy in the foreground with its configuration, log and pid file in folder.
class TinyProxy {
public:
    explicit TinyProxy(const QString& folder) : m_port(freePort()) {
        const QString exe = QStandardPaths::findExecutable(
            "tinyproxy", {"/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin"});
        QFile config(folder + "/tinyproxy.conf");
        if (exe.isEmpty() || m_port == 0 || !config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("Port %1\nListen 127.0.0.1\nAllow 127.0.0.1\n"
                                    "LogFile \"%2/tinyproxy.log\"\nPidFile \"%2/tinyproxy.pid\"\n"
                                    "MaxClients 10\nTimeout 30\n")
                         .arg(m_port)
                         .arg(folder)
                         .toUtf8());
        config.close();
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(exe, {"-d", "-c", config.fileName()});
        m_process.waitForStarted(5000);
    }
    ~TinyProxy() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Waits until the proxy accepts connections.
    bool isReady() {
        return serveEventsUntil(
            [this] {
                if (m_process.state() != QProcess::Running)
                    return false;
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                return socket.waitForConnected(200);
            },
            10000);
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port;
};

TEST(ProxyTest, RequestGoesThroughTheProxy) {
    QTemporaryDir folder;
    const QString log = folder.filePath("sim.log");
    QuoteSimProcess sim({"--log", log});
    ASSERT_TRUE(sim.isRunning());
    TinyProxy proxy(folder.path());
    ASSERT_TRUE(proxy.isReady());

    CHTTPAccess direct(false, "127.0.0.1", proxy.port());
    const QByteArray expected = downloadInto(direct, sim.url(kQuotePage), folder.filePath("a"));
    ASSERT_TRUE(expected.contains("1301"));
    EXPECT_FALSE(fileBytes(log).contains("tinyproxy"));

    CHTTPAccess viaProxy(true, "127.0.0.1", proxy.port());
    EXPECT_EQ(downloadInto(viaProxy, sim.url(kQuotePage), folder.filePath("b")), expected);
    const QByteArray requests = fileBytes(log);
    EXPECT_TRUE(requests.contains("Via:") && requests.contains("tinyproxy"));
}

TEST(ProxyTest, UnreachableProxyEndsTheDownload) {
    QTemporaryDir folder;
    QuoteSimProcess sim;
    ASSERT_TRUE(sim.isRunning());
    CHTTPAccess http(true, "127.0.0.1", freePort());
    EXPECT_TRUE(downloadInto(http, sim.url(kQuotePage), folder.filePath("page.html")).isEmpty());
}

} // namespace
