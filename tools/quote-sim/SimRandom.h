// Deterministic pseudo-random numbers for the synthetic market. The sequence
// depends only on the seed (no standard-library distributions, whose results
// differ between library versions), so a seed names one market everywhere.
#pragma once

#include <cstdint>

class CSimRandom {
public:
    explicit CSimRandom(uint64_t seed) : m_state(seed) {}
    // A generator for one item of a keyed family (a stock, a day of a stock...).
    CSimRandom(uint64_t seed, uint64_t key1, uint64_t key2 = 0)
        : m_state(mix(seed ^ mix(key1 + 0x51ED27u) ^ mix(key2 * 0x9E3779B97F4A7C15ull + 7))) {}

    static uint64_t mix(uint64_t x) {
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }
    uint64_t next() {
        m_state += 0x9E3779B97F4A7C15ull;
        return mix(m_state);
    }
    // 0 .. n-1 (n > 0).
    int below(int n) { return int(next() % uint64_t(n)); }
    // lo .. hi inclusive.
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    // [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }

private:
    uint64_t m_state;
};
