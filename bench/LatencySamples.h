#pragma once
/// @file
/// @brief Collects latency samples and prints their median and 99th percentile.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace relaydeck::bench {

/// @brief Where the value below which @p share of @p size sorted values lie stands.
inline std::size_t shareIndex(std::size_t size, double share) {
    return static_cast<std::size_t>(share * static_cast<double>(size - 1));
}

/// @brief Samples of one latency, in nanoseconds.
class LatencySamples {
  public:
    explicit LatencySamples(std::size_t expected) { samples_.reserve(expected); }
    void add(std::chrono::nanoseconds sample) { samples_.push_back(sample.count()); }

    /// @brief The value below which @p share of the samples lie, in microseconds.
    double percentileMicroseconds(double share) {
        if (samples_.empty()) return 0;
        std::sort(samples_.begin(), samples_.end());
        return static_cast<double>(samples_[shareIndex(samples_.size(), share)]) / 1000.0;
    }

    /// @brief One line "NAME p50 P p99 Q us n N", the form scripts/bench.sh reads.
    void print(const char* name) {
        const double p50 = percentileMicroseconds(0.5);
        const double p99 = percentileMicroseconds(0.99);
        std::printf("%s p50 %.2f p99 %.2f us n %zu\n", name, p50, p99, samples_.size());
        std::fflush(stdout);
    }

  private:
    std::vector<long long> samples_;
};

}  // namespace relaydeck::bench
