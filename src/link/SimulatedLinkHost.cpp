#include "link/SimulatedLinkHost.h"

#include <algorithm>

namespace relaydeck {

namespace {

std::string boolText(LinkBool b) {
    return b != 0 ? "True" : "False";
}

}  // namespace

std::string quoteText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string LinkCall::toString() const {
    if (operation == "GetStation") return "GetStation().StationCallsign = " + result.value_or("");
    std::string line = operation + "(" + arguments + ")";
    if (result) line += " = " + *result;
    return line;
}

/// One reference to the station, as one window holds it.
class SimulatedStation::Reference : public LinkHost {
  public:
    explicit Reference(SimulatedStation& station) : station_(station) {
        station_.references_.push_back(this);
    }
    ~Reference() override {
        auto& refs = station_.references_;
        refs.erase(std::remove(refs.begin(), refs.end(), this), refs.end());
    }

    void setEventSink(LinkEvents* sink) override { sink_ = sink; }
    LinkEvents* sink() const { return sink_; }

    void SetPTT(LinkBool on) override {
        station_.checkFailure("SetPTT");
        const bool keyed = on != 0;
        const bool changed = keyed != station_.ptt_;
        station_.ptt_ = keyed;
        station_.record({"SetPTT", boolText(on), std::nullopt, false});
        if (changed) {
            station_.stateChanged();
            const LinkBool state = toLinkBool(keyed);
            std::weak_ptr<bool> alive = station_.alive_;
            SimulatedStation* station = &station_;
            station_.post_([alive, station, state] {
                if (alive.expired()) return;
                station->raise([state](LinkEvents& e) { e.PTT(state); });
            });
        }
    }
    LinkBool GetRX() override { return query("GetRX", station_.rx_); }
    LinkBool GetPTT() override { return query("GetPTT", station_.ptt_); }
    LinkBool GetCarrier() override { return query("GetCarrier", station_.carrier_); }
    void SendCW(LinkBool flag, const std::string& text) override {
        operation("SendCW", boolText(flag) + ", " + quoteText(text));
    }
    StationInfo GetStation() override {
        station_.checkFailure("GetStation");
        StationInfo info{station_.callsign_};
        station_.record({"GetStation", "", quoteText(info.StationCallsign), true});
        return info;
    }
    void SetAux(LinkBool on) override {
        station_.checkFailure("SetAux");
        station_.aux_ = on != 0;
        station_.record({"SetAux", boolText(on), std::nullopt, false});
        station_.stateChanged();
    }
    void SendStationText(const std::string& text) override {
        operation("SendStationText", quoteText(text));
    }
    void SetControlMode(LinkBool on) override { operation("SetControlMode", boolText(on)); }
    void Speak(const std::string& text) override { operation("Speak", quoteText(text)); }
    void PlayPrompt(std::int32_t number) override {
        operation("PlayPrompt", std::to_string(number));
    }

  private:
    LinkBool query(const char* name, bool state) {
        station_.checkFailure(name);
        const LinkBool value = toLinkBool(state);
        station_.record({name, "", boolText(value), true});
        return value;
    }
    void operation(const char* name, std::string arguments) {
        station_.checkFailure(name);
        station_.record({name, std::move(arguments), std::nullopt, false});
    }

    SimulatedStation& station_;
    LinkEvents* sink_ = nullptr;
};

SimulatedStation::SimulatedStation(Post post)
    : post_(std::move(post)), alive_(std::make_shared<bool>(true)) {}

SimulatedStation::~SimulatedStation() = default;

std::unique_ptr<LinkHost> SimulatedStation::createReference() {
    checkFailure("create");
    return std::make_unique<Reference>(*this);
}

void SimulatedStation::setCallsign(std::string callsign) {
    callsign_ = std::move(callsign);
    stateChanged();
}

template <typename Raise>
void SimulatedStation::raise(Raise raiseOn) {
    // A handler may release references (the program ends): walk a copy, check each.
    const std::vector<Reference*> refs = references_;
    for (Reference* r : refs) {
        if (std::find(references_.begin(), references_.end(), r) == references_.end()) continue;
        if (LinkEvents* sink = r->sink()) raiseOn(*sink);
    }
}

void SimulatedStation::setCarrier(LinkBool bCD) {
    carrier_ = bCD != 0;
    stateChanged();
    raise([bCD](LinkEvents& e) { e.CarrierDetect(bCD); });
}

void SimulatedStation::setRX(LinkBool bRX) {
    rx_ = bRX != 0;
    stateChanged();
    raise([bRX](LinkEvents& e) { e.RX(bRX); });
}

void SimulatedStation::raiseClosing() {
    raise([](LinkEvents& e) { e.Closing(); });
}

void SimulatedStation::failNext(const std::string& operation) {
    failNext_.push_back(operation);
}

void SimulatedStation::checkFailure(const std::string& operation) {
    const auto it = std::find(failNext_.begin(), failNext_.end(), operation);
    if (it == failNext_.end()) return;
    failNext_.erase(it);
    if (operation == "create") throw LinkError("EchoLink could not be started.");
    throw LinkError("The call " + operation + " failed.");
}

void SimulatedStation::addCallObserver(std::function<void(const LinkCall&)> observer) {
    callObservers_.push_back(std::move(observer));
}

void SimulatedStation::addStateObserver(std::function<void()> observer) {
    stateObservers_.push_back(std::move(observer));
}

void SimulatedStation::record(LinkCall call) {
    for (const auto& o : callObservers_) o(call);
}

void SimulatedStation::stateChanged() {
    for (const auto& o : stateObservers_) o();
}

}  // namespace relaydeck
