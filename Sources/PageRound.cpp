#include "PageRound.h"

void CPageRound::Start(int32_t nPages) {
    m_queue.clear();
    for (int32_t i = 0; i < nPages; ++i)
        m_queue.push_back(i);
    m_position = 0;
    m_retry = 0;
    m_failed.clear();
    m_failures.assign(size_t(nPages), std::string());
    m_nArrived = 0;
}

bool CPageRound::Next(bool arrived, const std::string& reason) {
    const int32_t current = page();
    if (arrived) {
        m_failures[size_t(current)].clear();
        ++m_nArrived;
    } else {
        m_failures[size_t(current)] = reason.empty() ? "failed" : reason;
        m_failed.push_back(current);
    }
    if (++m_position < m_queue.size())
        return true;
    if (m_failed.empty() || m_retry >= kRetries)
        return false;
    ++m_retry;
    m_queue.swap(m_failed);
    m_failed.clear();
    m_position = 0;
    return true;
}
