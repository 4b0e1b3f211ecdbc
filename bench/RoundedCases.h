#pragma once
/// @file
/// @brief Latency samples of several cases taken in turn, round after round, and how a
/// case's percentile compares with a base case's, with an interval drawn from the rounds.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <fstream>
#include <random>
#include <vector>

#include "LatencySamples.h"

namespace relaydeck::bench {

/// @brief Samples by case and round. Each round takes every case once, in short blocks, so
/// that a slow drift of the machine's own load falls on all cases alike; the rounds are
/// then the units a bootstrap resamples (paired: the same rounds for both cases).
class RoundedCases {
  public:
    RoundedCases(int cases, int rounds)
        : samples_(static_cast<std::size_t>(cases),
                   std::vector<std::vector<long long>>(static_cast<std::size_t>(rounds))) {}

    void add(int c, int round, std::chrono::nanoseconds sample) {
        samples_[index(c)][index(round)].push_back(sample.count());
    }

    /// @brief The percentile @p share of case @p c over the rounds @p rounds, in µs.
    double percentileMicroseconds(int c, double share, const std::vector<int>& rounds) const {
        pool_.clear();
        for (const int r : rounds) {
            const auto& block = samples_[index(c)][index(r)];
            pool_.insert(pool_.end(), block.begin(), block.end());
        }
        if (pool_.empty()) return 0;
        const auto at =
            pool_.begin() + static_cast<std::ptrdiff_t>(shareIndex(pool_.size(), share));
        std::nth_element(pool_.begin(), at, pool_.end());
        return static_cast<double>(*at) / 1000.0;
    }
    double percentileMicroseconds(int c, double share) const {
        return percentileMicroseconds(c, share, allRounds());
    }

    /// @brief The median over the rounds of case @p c's percentile @p share in each, in µs.
    double medianOfRoundsMicroseconds(int c, double share) const {
        std::vector<double> perRound;
        for (const int r : allRounds()) perRound.push_back(percentileMicroseconds(c, share, {r}));
        return median(perRound);
    }

    /// @brief How case @p c compares with case @p base at the percentile @p share, with
    /// 95 % intervals from @p resamples draws of the rounds with replacement (the same
    /// rounds for both cases):
    /// - pooled: the percentile of all the case's samples over the base's;
    /// - by rounds: the median over the rounds of the case's percentile in a round over the
    ///   base's in the same round. A virtual machine's bad spells fall on a few rounds and
    ///   swing the pooled figure; this one follows what most rounds show.
    struct Interval {
        double estimate = 1, low = 1, high = 1;
    };
    struct Comparison {
        Interval pooled, byRounds;
    };
    Comparison compare(int c, int base, double share, int resamples = 1000) const {
        const std::vector<int> all = allRounds();
        std::vector<double> roundRatios;
        for (const int r : all) {
            roundRatios.push_back(percentileMicroseconds(c, share, {r}) /
                                  percentileMicroseconds(base, share, {r}));
        }
        const auto pooledRatio = [&](const std::vector<int>& rounds) {
            return percentileMicroseconds(c, share, rounds) /
                   percentileMicroseconds(base, share, rounds);
        };
        const auto medianRatio = [&](const std::vector<int>& rounds) {
            std::vector<double> chosen;
            for (const int r : rounds) chosen.push_back(roundRatios[static_cast<std::size_t>(r)]);
            return median(chosen);
        };
        Comparison result;
        result.pooled.estimate = pooledRatio(all);
        result.byRounds.estimate = medianRatio(all);
        std::mt19937 draw(12345);  // the same draws for every case: intervals comparable
        std::uniform_int_distribution<int> pick(0, static_cast<int>(all.size()) - 1);
        std::vector<double> pooled, byRounds;
        std::vector<int> chosen(all.size());
        for (int i = 0; i < resamples; ++i) {
            for (int& r : chosen) r = pick(draw);
            pooled.push_back(pooledRatio(chosen));
            byRounds.push_back(medianRatio(chosen));
        }
        setInterval(result.pooled, pooled);
        setInterval(result.byRounds, byRounds);
        return result;
    }

    /// @brief Every sample, "case round nanoseconds" a line.
    void write(const char* path, const char* const* caseNames) const {
        std::ofstream out(path);
        for (std::size_t c = 0; c < samples_.size(); ++c) {
            for (std::size_t r = 0; r < samples_[c].size(); ++r) {
                for (const long long ns : samples_[c][r]) {
                    out << caseNames[c] << ' ' << r << ' ' << ns << '\n';
                }
            }
        }
    }

  private:
    static double median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return n == 0 ? 1 : (values[(n - 1) / 2] + values[n / 2]) / 2;
    }
    static void setInterval(Interval& interval, std::vector<double> draws) {
        std::sort(draws.begin(), draws.end());
        interval.low = draws[shareIndex(draws.size(), 0.025)];
        interval.high = draws[shareIndex(draws.size(), 0.975)];
    }
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }
    std::vector<int> allRounds() const {
        std::vector<int> all(samples_.empty() ? 0 : samples_.front().size());
        for (std::size_t r = 0; r < all.size(); ++r) all[r] = static_cast<int>(r);
        return all;
    }

    std::vector<std::vector<std::vector<long long>>> samples_;  // [case][round][sample]
    mutable std::vector<long long> pool_;
};

}  // namespace relaydeck::bench
