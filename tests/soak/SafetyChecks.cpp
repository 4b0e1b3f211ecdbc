#include "SafetyChecks.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace relaydeck::soak {

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

/// @brief A busy spell: a stretch of time during which the local carrier or Internet
/// audio is present, one handing over to the other when @p mixed.
struct Busy {
    milliseconds start;
    milliseconds end;
    bool mixed = false;
};

std::vector<Busy> busyStretches(const replay::Traffic& traffic) {
    std::vector<Busy> busy;
    int present = 0;
    for (const replay::ChannelChange& change : traffic.changes) {
        if (change.on) {
            if (present++ == 0) busy.push_back({change.at, change.at});
            if (present > 1) busy.back().mixed = true;
        } else if (--present == 0) {
            busy.back().end = change.at;
        }
    }
    return busy;
}

std::string at(milliseconds time) {
    return std::to_string(time.count() / 1000) + "." +
           std::to_string(time.count() % 1000 + 1000).substr(1) + " s";
}

/// @brief The transmitter's state after every SetPTT, in time order.
class PttHistory {
  public:
    explicit PttHistory(const std::vector<OutputLine>& lines) {
        for (const OutputLine& line : lines) {
            if (line.name == "SetPTT") changes_.push_back({line.at, line.args == "True"});
        }
    }
    /// @brief Keyed after everything that happened at or before @p time.
    bool keyedAt(milliseconds time) const {
        const auto after = first(time);
        return after != changes_.begin() && std::prev(after)->second;
    }
    /// @brief Whether it was keyed by a call in (from, to].
    bool keyedBetween(milliseconds from, milliseconds to) const {
        for (auto it = first(from); it != changes_.end() && it->first <= to; ++it) {
            if (it->second) return true;
        }
        return false;
    }

  private:
    using Change = std::pair<milliseconds, bool>;
    /// @brief The first change after @p time.
    std::vector<Change>::const_iterator first(milliseconds time) const {
        return std::upper_bound(changes_.begin(), changes_.end(), time,
                                [](milliseconds t, const Change& c) { return t < c.first; });
    }
    std::vector<Change> changes_;
};

}  // namespace

std::vector<OutputLine> parseOutput(std::string_view output) {
    std::vector<OutputLine> lines;
    while (!output.empty()) {
        const std::size_t stop = output.find('\n');
        std::string_view line = output.substr(0, stop);
        output = stop == std::string_view::npos ? std::string_view{} : output.substr(stop + 1);

        OutputLine parsed;
        parsed.name = "?";
        parsed.args = std::string(line);
        std::int64_t whole = 0;
        int fraction = 0;
        const char* p = line.data();
        const char* end = line.data() + line.size();
        auto r = std::from_chars(p, end, whole);
        if (r.ec == std::errc() && r.ptr + 5 < end && r.ptr[0] == '.' && r.ptr[4] == ' ' &&
            std::from_chars(r.ptr + 1, r.ptr + 4, fraction).ptr == r.ptr + 4) {
            parsed.at = milliseconds(whole * 1000 + fraction);
            std::string_view rest = line.substr(static_cast<std::size_t>(r.ptr + 5 - p));
            const std::size_t open = rest.find('(');
            if (open != std::string_view::npos && rest.back() == ')') {
                parsed.name = std::string(rest.substr(0, open));
                parsed.args = std::string(rest.substr(open + 1, rest.size() - open - 2));
            } else {
                const std::size_t blank = rest.find(' ');
                parsed.name = std::string(rest.substr(0, blank));
                parsed.args =
                    blank == std::string_view::npos ? "" : std::string(rest.substr(blank + 1));
            }
        }
        lines.push_back(std::move(parsed));
    }
    return lines;
}

std::vector<std::string> checkSafety(const replay::Traffic& traffic,
                                     const std::vector<OutputLine>& lines) {
    std::vector<std::string> broken;
    const replay::TrafficOptions& o = traffic.options;
    const PttHistory ptt(lines);

    for (const OutputLine& line : lines) {
        if (line.name == "?") broken.push_back("unreadable output line: " + line.args);
        if (line.name == "MsgBox")
            broken.push_back("a box opened at " + at(line.at) + ": " + line.args);
        if (line.name == "End") broken.push_back("the program ended at " + at(line.at));
    }

    // Once the channel is clear the transmitter drops after the break and the hang time;
    // a second covers the phase of the one-second count.
    const milliseconds dropWithin = o.breakTime + seconds(o.hangTimeSeconds) + seconds(1);
    // No busy spell keeps the transmitter past the time-out (plus the phase of its count),
    // whichever source keyed it first and however often the two handed over.
    const milliseconds timeOutWithin = seconds(o.timeOutMinutes * 60) + seconds(1);
    const std::vector<Busy> busy = busyStretches(traffic);
    for (std::size_t i = 0; i < busy.size(); ++i) {
        const milliseconds nextStart = i + 1 < busy.size() ? busy[i + 1].start : o.duration;
        const milliseconds dropBy = busy[i].end + dropWithin;
        if (nextStart > dropBy && ptt.keyedAt(dropBy)) {
            broken.push_back("still transmitting at " + at(dropBy) + ", the channel clear since " +
                             at(busy[i].end));
        }
        const milliseconds timeOutBy = busy[i].start + timeOutWithin;
        if (o.timeOutMinutes > 0 && busy[i].end > timeOutBy &&
            (ptt.keyedAt(timeOutBy) || ptt.keyedBetween(timeOutBy, busy[i].end))) {
            broken.push_back("transmitting past the time-out in the " +
                             std::string(busy[i].mixed ? "mixed over" : "over") + " from " +
                             at(busy[i].start) + " to " + at(busy[i].end));
        }
    }

    // The Morse identification: the end of a clear-channel wait after a time-out restarts
    // its period, as a sent identification does.
    if (o.cwIntervalMinutes > 0 && !o.cwId.empty()) {
        const milliseconds interval = seconds(o.cwIntervalMinutes * 60);
        const std::string id = "False, \"" + o.cwId + "\"";
        const std::string clear = "False, \"********OK*\"";
        milliseconds period{0};
        int sent = 0;
        for (const OutputLine& line : lines) {
            if (line.name != "SendCW" || (line.args != id && line.args != clear)) continue;
            if (line.at - period > interval) {
                broken.push_back("no Morse identification from " + at(period) + " to " +
                                 at(line.at));
            }
            period = line.at;
            sent += line.args == id;
        }
        if (o.duration - period > interval) {
            broken.push_back("no Morse identification after " + at(period));
        }
        if (sent == 0 && o.duration >= interval) broken.push_back("no Morse identification at all");
    }
    return broken;
}

}  // namespace relaydeck::soak
