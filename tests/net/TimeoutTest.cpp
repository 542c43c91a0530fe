// The 5-second silence time-out: it stops a server that sends nothing, and
// only that; a download that keeps delivering is never stopped. The three
// downloads run side by side so that the suite waits for the time-out once.
#include "DownloadTestUtil.h"
#include "QuoteSimProcess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(DownloadTimeout, SilenceEndsTheDownloadButASlowDripDoesNot) {
    QuoteSimProcess silent(
        {"--fault", "silence@/q?s=1301", "--fault", "silence-after-headers@/q?s=6758"});
    QuoteSimProcess dripping({"--fault", "drip:4@/q?s=7203#1"});
    ASSERT_TRUE(silent.isRunning() && dripping.isRunning());
    QTemporaryDir folder;
    CHTTPAccess silence(false, "", 0), headersOnly(false, "", 0), drip(false, "", 0);
    const QString silencePath = folder.filePath("silence.html");
    const QString headersPath = folder.filePath("headers.html");
    const QString dripPath = folder.filePath("drip.html");

    QElapsedTimer clock;
    clock.start();
    silence.OpenURL(toStd(silent.url("/q?s=1301&d=v2")), toStd(silencePath));
    headersOnly.OpenURL(toStd(silent.url("/q?s=6758&d=v2")), toStd(headersPath));
    drip.OpenURL(toStd(dripping.url("/q?s=7203&d=v2")), toStd(dripPath));
    qint64 silenceEnded = -1, dripEnded = -1;
    serveEventsUntil(
        [&] {
            if (silenceEnded < 0 && silence.complete && headersOnly.complete)
                silenceEnded = clock.elapsed();
            if (dripEnded < 0 && drip.complete)
                dripEnded = clock.elapsed();
            return silenceEnded >= 0 && dripEnded >= 0;
        },
        30000);

    ASSERT_GE(silenceEnded, 0);
    EXPECT_GE(silenceEnded, 4500);
    EXPECT_TRUE(fileBytes(silencePath).isEmpty());
    EXPECT_TRUE(fileBytes(headersPath).isEmpty());
    for (const CHTTPAccess* silent : {&silence, &headersOnly}) {
        EXPECT_EQ(silent->outcome().end, DownloadOutcome::kTimeout);
        EXPECT_EQ(silent->outcome().reason, "no data for 5 s");
    }

    // Three chunks four seconds apart: longer than one time-out, and whole.
    ASSERT_GE(dripEnded, 0);
    EXPECT_GT(dripEnded, 7000);
    EXPECT_TRUE(drip.outcome().done()) << drip.outcome().reason;
    const QByteArray dripped = fileBytes(dripPath);
    EXPECT_EQ(dripped, downloadInto(drip, dripping.url("/q?s=7203&d=v2"), dripPath));
    EXPECT_TRUE(dripped.contains("7203"));
}
