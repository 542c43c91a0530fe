// The order in which the fetch and finance jobs ask for their pages: every
// page once, in order, then each page that failed again, at most kRetries
// times, after all the others; and why each page that failed last failed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CPageRound {
public:
    static constexpr int32_t kRetries = 2;

    // Pages 0 .. nPages - 1, none tried yet.
    void Start(int32_t nPages);
    // The page to ask for now.
    int32_t page() const { return m_queue[m_position]; }
    // 0 on a page's first try, 1 .. kRetries on its retries.
    int32_t retry() const { return m_retry; }
    // Records how the current page ended (why, when it did not arrive) and
    // moves on; false when no page is left to ask for.
    bool Next(bool arrived, const std::string& reason);

    // Why page failed its last try; empty when it arrived.
    const std::string& failure(int32_t page) const { return m_failures[size_t(page)]; }
    // Pages that arrived, on any try.
    int32_t nArrived() const { return m_nArrived; }

private:
    std::vector<int32_t> m_queue;
    size_t m_position = 0;
    int32_t m_retry = 0;
    std::vector<int32_t> m_failed; // this round's failures, the next round's queue
    std::vector<std::string> m_failures;
    int32_t m_nArrived = 0;
};
