// When the downloader may send its next request, and how long an answer that
// asks it to wait makes it wait.
#include "DownloadPacer.h"

#include <gtest/gtest.h>

constexpr int64_t kSecond = 1000000; // in microseconds

TEST(DownloadPacerTest, RequestsStartTheIntervalApartAndAWaitHoldsThemBack) {
    CDownloadPacer pacer;
    EXPECT_EQ(pacer.interval(), 100);
    pacer.setInterval(250);
    const int64_t t = 5000 * kSecond;
    EXPECT_EQ(pacer.DelayUs(t), 0); // the first request
    pacer.RequestStarted(t);
    EXPECT_EQ(pacer.DelayUs(t + 1), 250000 - 1);
    EXPECT_EQ(pacer.DelayUs(t + 250000), 0);
    // The request left 3 ms after it was made: the interval counts from then.
    pacer.RequestStarted(t + 3000);
    EXPECT_EQ(pacer.DelayUs(t + 250000), 3000);

    // The answer asked for 2 s: nothing goes before, then the interval rules.
    pacer.Wait(t + 100000, 2000);
    EXPECT_EQ(pacer.DelayUs(t + 100000), 2 * kSecond);
    EXPECT_EQ(pacer.DelayUs(t + 2100000), 0);
    // A shorter wait asked later does not end the longer one earlier.
    pacer.Wait(t + 200000, 0);
    EXPECT_EQ(pacer.DelayUs(t + 2000000), 100000);
    pacer.RequestStarted(t + 2100000);
    EXPECT_EQ(pacer.DelayUs(t + 2200000), 150000);
}

TEST(DownloadPacerTest, WaitIsWhatRetryAfterSaysWithinBounds) {
    const time_t now = 784111777 - 30; // 30 s before Sun, 06 Nov 1994 08:49:37 GMT
    // clang-format off
    const struct { const char* retryAfter; int32_t nWaits; int64_t ms; } rows[] = {
        // Retry-After (null: none), waits before, ms. Seconds, blanks around them, a minute at
        // most; none or no number: 2 s doubled by each wait before; a date in each of the three
        // forms, with its zone and a real month and day.
        {" 5\t", 0, 5000}, {"0", 0, 0}, {"120", 0, 60000}, {"soon", 0, 2000}, {"5s", 0, 2000}, {"-5", 0, 2000},
        {"99999999999999999999999999", 0, 60000}, {nullptr, 0, 2000}, {nullptr, 1, 4000}, {nullptr, 40, 60000}, {"", 1, 4000},
        {"Sun, 06 Nov 1994 08:49:37 GMT", 0, 30000},    {"Sunday, 06-Nov-94 08:49:37 GMT", 0, 30000},
        {"Sun Nov  6 08:49:37 1994", 0, 30000},         {"Sun, 06 Nov 1994 08:49:00 GMT", 0, 0},
        {"Fri, 31 Dec 9999 23:59:59 GMT", 0, 60000},    {"Saturday, 01-Jan-00 00:00:00 GMT", 0, 60000},
        {"Sun, 06 Nov 1994 08:49:37", 2, 8000},         {"Sun, 06 Noe 1994 08:49:37 GMT", 0, 2000},
        {"Sun, 00 Nov 1994 08:49:37 GMT", 0, 2000},     {"Sun, 0000006 Nov 1994 08:49:37 GMT", 0, 2000},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.retryAfter ? row.retryAfter : "none") +
                     ", waits before: " + std::to_string(row.nWaits));
        EXPECT_EQ(CDownloadPacer::WaitMs(row.retryAfter, row.nWaits, now), row.ms);
    }
}
