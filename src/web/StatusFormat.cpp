#include "web/StatusFormat.h"

#include <array>
#include <cstdio>

#include "activity/ActivityCsv.h"

namespace relaydeck::web {

namespace {

const char* boolText(bool b) {
    return b ? "true" : "false";
}

/// The metric's HELP and TYPE lines, then its samples.
class Metrics {
  public:
    void family(const char* name, const char* type, const char* help) {
        name_ = name;
        out_ += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
    }
    void sample(const std::string& value, const std::string& labels = {}) {
        out_ += name_ + (labels.empty() ? "" : "{" + labels + "}") + " " + value + "\n";
    }
    void sample(std::uint64_t value, const std::string& labels = {}) {
        sample(std::to_string(value), labels);
    }
    std::string take() { return std::move(out_); }

  private:
    std::string name_;
    std::string out_;
};

}  // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string statusJson(const StateSnapshot& s) {
    const StationCounters& c = s.counters;
    std::string j = "{";
    j += "\"sequence\":" + std::to_string(s.sequence);
    j += ",\"running\":" + std::string(boolText(s.running));
    j += ",\"callsign\":" + jsonString(s.callsign);
    j += ",\"status\":" + jsonString(s.status);
    j += ",\"statusText\":" + jsonString(shownText(s.status, s.language));
    j += ",\"language\":" + jsonString(languageSettingValue(s.language));
    j += ",\"countdowns\":{\"cwId\":" + jsonString(s.cwIdCount) +
         ",\"speechId\":" + jsonString(s.speechIdCount) +
         ",\"hangTime\":" + jsonString(s.hangTimeCount) +
         ",\"timeOut\":" + jsonString(s.timeOutCount) + "}";
    j += ",\"lamps\":{\"tx\":" + std::string(boolText(s.txLamp)) + ",\"rx\":" + boolText(s.rxLamp) +
         ",\"fan\":" + boolText(s.fanLamp) + ",\"timeOut\":" + boolText(s.timeOutLamp) + "}";
    j += ",\"timedOut\":" + std::string(boolText(s.timedOut));
    j += ",\"linkAnswering\":" + std::string(boolText(s.linkAnswering));
    j += ",\"linkNotAnsweringSeconds\":" + std::to_string(s.linkNotAnsweringFor.count());
    j += ",\"repeaterOff\":" + std::string(boolText(s.repeaterOff));
    j += ",\"carrier\":" + std::string(boolText(c.carrier));
    j += ",\"internetAudio\":" + std::string(boolText(c.internetAudio));
    j += ",\"uptimeSeconds\":" + std::to_string(s.uptime.count());
    j += ",\"counters\":{\"localOvers\":" + std::to_string(c.localOvers) +
         ",\"internetOvers\":" + std::to_string(c.internetOvers) +
         ",\"transmitterSeconds\":" + formatSeconds(c.transmitterTime) +
         ",\"timeOuts\":" + std::to_string(c.timeOuts) +
         ",\"linkFailures\":" + std::to_string(c.linkFailures) +
         ",\"restarts\":" + std::to_string(c.restarts) + "}";
    return j + "}";
}

std::string prometheusText(const StateSnapshot& s) {
    const StationCounters& c = s.counters;
    Metrics m;
    m.family("relaydeck_overs_total", "counter", "Overs begun, by where they came from.");
    m.sample(c.localOvers, "source=\"local\"");
    m.sample(c.internetOvers, "source=\"internet\"");
    m.family("relaydeck_transmitter_seconds_total", "counter",
             "Time the transmitter was keyed, over finished transmissions.");
    m.sample(formatSeconds(c.transmitterTime));
    m.family("relaydeck_timeouts_total", "counter", "Overs cut by the time-out.");
    m.sample(c.timeOuts);
    m.family("relaydeck_identifications_total", "counter", "Identifications sent, by kind.");
    static constexpr std::array kKinds = {"periodic-morse", "speech", "manual-morse",
                                          "manual-speech", "closedown"};
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        m.sample(c.identifications[i], std::string("kind=\"") + kKinds[i] + "\"");
    }
    m.family("relaydeck_link_failures_total", "counter", "Failures of the link program.");
    m.sample(c.linkFailures);
    m.family("relaydeck_restarts_total", "counter", "Restarts of the program by its guard.");
    m.sample(c.restarts);
    const auto gauge = [&m](const char* name, const char* help, bool value) {
        m.family(name, "gauge", help);
        m.sample(value ? "1" : "0");
    };
    gauge("relaydeck_up", "1 while the main window runs.", s.running);
    gauge("relaydeck_transmitter_on", "1 while the transmitter is keyed.", s.txLamp);
    gauge("relaydeck_carrier", "1 while a local carrier is received.", c.carrier);
    gauge("relaydeck_internet_audio", "1 while audio comes from the Internet.", c.internetAudio);
    gauge("relaydeck_timed_out", "1 while the station is timed out.", s.timedOut);
    gauge("relaydeck_repeater_off", "1 while the repeater is switched off.", s.repeaterOff);
    gauge("relaydeck_link_answering", "1 while the link program answers.", s.linkAnswering);
    m.family("relaydeck_uptime_seconds", "gauge", "Time since the main window started.");
    m.sample(std::to_string(s.uptime.count()));
    return m.take();
}

}  // namespace relaydeck::web
