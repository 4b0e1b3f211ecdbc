#include "TrafficGenerator.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace relaydeck::replay {

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

/// @brief Random draws that come out the same with every standard library: the engine is
/// fully specified, the distributions are written here.
class Draw {
  public:
    explicit Draw(std::uint64_t seed) : engine_(seed) {}

    /// @brief Uniform in [0, 1).
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    bool chance(double share) { return unit() < share; }
    milliseconds between(milliseconds low, milliseconds high) {
        const auto span = static_cast<double>((high - low).count());
        return low + milliseconds(static_cast<std::int64_t>(unit() * span));
    }
    milliseconds exponential(milliseconds mean) {
        const double value = -static_cast<double>(mean.count()) * std::log1p(-unit());
        return milliseconds(static_cast<std::int64_t>(value));
    }

  private:
    std::mt19937_64 engine_;
};

void writeSeconds(std::ostream& out, milliseconds time) {
    const auto ms = time.count();
    const auto fraction = ms % 1000;
    out << ms / 1000 << '.' << static_cast<char>('0' + fraction / 100)
        << static_cast<char>('0' + fraction / 10 % 10) << static_cast<char>('0' + fraction % 10);
}

}  // namespace

Traffic generateTraffic(const TrafficOptions& options) {
    Traffic traffic{options, {}};
    Draw draw(options.seed);
    const milliseconds end = options.duration;
    const milliseconds timeOut = seconds(options.timeOutMinutes * 60);
    // The shortest over: a carrier shorter than a second still keys the transmitter.
    const milliseconds shortest(300);

    auto over = [&](milliseconds start, ChannelChange::Source source, milliseconds length) {
        traffic.changes.push_back({start, source, true});
        traffic.changes.push_back({start + length, source, false});
        return start + length;
    };

    // A mixed over: legs of 20 to 90 s that alternate the sources, each overlapping the
    // next by 0.5 to 8 s, so that a source is off for at least 4 s between its own legs.
    auto mixedOver = [&](milliseconds start, ChannelChange::Source source, milliseconds length) {
        const milliseconds overEnd = start + length;
        const auto first = static_cast<std::ptrdiff_t>(traffic.changes.size());
        milliseconds legStart = start;
        milliseconds longest = std::min<milliseconds>(seconds(90), length - seconds(5));
        for (;;) {
            const milliseconds legEnd =
                std::min(overEnd, legStart + draw.between(seconds(20), longest));
            over(legStart, source, legEnd - legStart);
            if (legEnd == overEnd) break;
            legStart = legEnd - draw.between(milliseconds(500), seconds(8));
            source = source == ChannelChange::Source::Carrier ? ChannelChange::Source::Internet
                                                              : ChannelChange::Source::Carrier;
            longest = seconds(90);
        }
        std::stable_sort(
            traffic.changes.begin() + first, traffic.changes.end(),
            [](const ChannelChange& a, const ChannelChange& b) { return a.at < b.at; });
        return overEnd;
    };

    milliseconds now = seconds(5);
    for (;;) {
        now += std::max(milliseconds(1), draw.exponential(options.meanGap));
        const bool internet = draw.chance(options.internetShare);
        // No draw at all without mixed overs: a seed keeps the traffic it always had.
        if (options.overlapShare > 0 && draw.chance(options.overlapShare)) {
            const milliseconds length =
                draw.between(seconds(30), std::max<milliseconds>(timeOut * 2, seconds(180)));
            if (now + length >= end) break;
            now = mixedOver(
                now, internet ? ChannelChange::Source::Internet : ChannelChange::Source::Carrier,
                length);
            continue;
        }
        const bool held = draw.chance(options.heldShare);
        const milliseconds length = held ? draw.between(timeOut + seconds(5), timeOut * 2)
                                         : draw.between(seconds(2), seconds(120));
        if (now + length >= end) break;
        const auto source =
            internet ? ChannelChange::Source::Internet : ChannelChange::Source::Carrier;
        now = over(now, source, length);
        // A local station that lets go and keys again before the courtesy tone.
        while (!internet && options.breakTime > milliseconds(100) &&
               draw.chance(options.rekeyShare)) {
            const milliseconds pause =
                draw.between(milliseconds(20), options.breakTime - milliseconds(80));
            const milliseconds again = draw.between(shortest, seconds(60));
            if (now + pause + again >= end) break;
            now = over(now + pause, ChannelChange::Source::Carrier, again);
        }
    }
    return traffic;
}

void writeScenario(const Traffic& traffic, std::ostream& out) {
    const TrafficOptions& o = traffic.options;
    out << "# Generated traffic: seed " << o.seed << ", " << o.duration.count() << " s, "
        << traffic.changes.size() / 2 << " overs\n";
    out << "callsign " << o.callsign << '\n';
    out << "ini [SETTINGS]\n";
    out << "ini CWIDTEXT=" << o.cwId << '\n';
    out << "ini CWINTERVAL=" << o.cwIntervalMinutes << '\n';
    out << "ini SPEECHINTERVAL=" << o.speechIntervalMinutes << '\n';
    out << "ini HANGTIME=" << o.hangTimeSeconds << '\n';
    out << "ini TIMEOUT=" << o.timeOutMinutes << '\n';
    out << "ini BREAKTIME=" << o.breakTime.count() << '\n';
    out << "start\n";
    milliseconds now{0};
    for (const ChannelChange& change : traffic.changes) {
        if (change.at > now) {
            out << "wait ";
            writeSeconds(out, change.at - now);
            out << '\n';
            now = change.at;
        }
        out << (change.source == ChannelChange::Source::Carrier ? "carrier " : "rx ")
            << (change.on ? "on" : "off") << '\n';
    }
    if (o.duration > now) {
        out << "wait ";
        writeSeconds(out, o.duration - now);
        out << '\n';
    }
}

}  // namespace relaydeck::replay
