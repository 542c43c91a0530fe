// When the downloader may send its next request. Requests start at least the
// interval apart, so that the service is never asked for more than it allows;
// an answer that asks the program to wait (429 Too Many Requests, 503 Service
// Unavailable) holds every request back until that wait is over. Times are
// microseconds of a steady clock the caller reads, so that rounding never
// brings two requests closer than the interval.
#pragma once

#include "ProgramSettings.h"

#include <cstdint>
#include <ctime>

class CDownloadPacer {
public:
    // A page that is still asked to wait after this many waits has failed.
    static constexpr int32_t kMaxWaits = 3;
    // No wait is longer, whatever the answer says.
    static constexpr int64_t kMaxWaitMs = 60000;
    // The first wait when the answer does not say how long; each further one
    // is twice as long.
    static constexpr int64_t kFirstWaitMs = 2000;

    void setInterval(int32_t intervalMs) { m_intervalMs = intervalMs; }
    int32_t interval() const { return m_intervalMs; }

    // How long a request that would start at nowUs has still to wait; 0 when
    // it may start.
    int64_t DelayUs(int64_t nowUs) const;
    // A request has started at nowUs (a later call for the same request
    // moves its start to when it was actually sent).
    void RequestStarted(int64_t nowUs);
    // An answer at nowUs asked to wait waitMs before the next request.
    void Wait(int64_t nowUs, int64_t waitMs);

    // Whether an answer with this status asks to wait.
    static bool AsksToWait(int32_t httpStatus) { return httpStatus == 429 || httpStatus == 503; }
    // How long to wait after an answer whose Retry-After field was retryAfter
    // (null without one) when the page has waited nWaits times before: the
    // field's seconds, or the time from now until its HTTP date, else 2 s, 4 s,
    // 8 s ...; never below 0 nor above kMaxWaitMs.
    static int64_t WaitMs(const char* retryAfter, int32_t nWaits, time_t now);
    // The moment an HTTP date names ("Sun, 06 Nov 1994 08:49:37 GMT", or the
    // older "Sunday, 06-Nov-94 08:49:37 GMT" and "Sun Nov  6 08:49:37 1994");
    // false when text is none of them.
    static bool ParseHTTPDate(const char* text, time_t* moment);

private:
    int32_t m_intervalMs = CProgramSettings::kDefaultIntervalMs;
    bool m_started = false;
    int64_t m_lastStartUs = 0;
    int64_t m_waitUntilUs = 0;
};
