// relaydeck-traffic: writes a replay scenario of busy, made-up repeater traffic.

#include <charconv>
#include <cstring>
#include <iostream>
#include <string_view>

#include "TrafficGenerator.h"

namespace {

bool readNumber(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int usage() {
    std::cerr << "usage: relaydeck-traffic [--days N | --hours N] [--seed S] [--overlaps PERCENT]\n"
                 "Writes a scenario for relaydeck-replay to standard output.\n"
                 "--overlaps: share of overs in which the local carrier and Internet audio\n"
                 "hand over to each other (0 by default).\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    relaydeck::replay::TrafficOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view flag = argv[i];
        std::uint64_t value = 0;
        if (i + 1 >= argc || !readNumber(argv[i + 1], value)) return usage();
        ++i;
        if (flag == "--days" && value > 0 && value <= 3660) {
            options.duration = std::chrono::hours(24 * value);
        } else if (flag == "--hours" && value > 0 && value <= 87840) {
            options.duration = std::chrono::hours(value);
        } else if (flag == "--overlaps" && value <= 100) {
            options.overlapShare = static_cast<double>(value) / 100.0;
        } else if (flag == "--seed") {
            options.seed = value;
        } else {
            return usage();
        }
    }
    std::ios::sync_with_stdio(false);
    relaydeck::replay::writeScenario(relaydeck::replay::generateTraffic(options), std::cout);
    std::cout.flush();
    return std::cout ? 0 : 1;
}
