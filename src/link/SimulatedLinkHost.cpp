#include "link/SimulatedLinkHost.h"

#include <algorithm>
#include <utility>

namespace relaydeck {

std::string quoteText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string formatLinkValue(const LinkValue& value) {
    if (const auto* flag = std::get_if<LinkBool>(&value)) return *flag != 0 ? "True" : "False";
    if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
    return quoteText(std::get<std::string>(value));
}

std::optional<std::string> LinkCall::text() const {
    for (const LinkValue& argument : arguments) {
        if (const auto* found = std::get_if<std::string>(&argument)) return *found;
    }
    return std::nullopt;
}

std::string LinkCall::toString() const {
    const std::string answer = result ? formatLinkValue(*result) : std::string();
    if (operation == LinkOperation::GetStation) {
        return "GetStation().StationCallsign = " + answer;
    }
    std::string line = std::string(name()) + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ", ";
        line += formatLinkValue(arguments[i]);
    }
    line += ")";
    if (result) line += " = " + answer;
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
    void setWatcher(LinkWatcher* watcher) override { watcher_ = watcher; }

    void SetPTT(LinkBool on) override {
        before(LinkOperation::SetPTT);
        const bool keyed = on != 0;
        const bool changed = keyed != station_.ptt_;
        station_.ptt_ = keyed;
        record(LinkOperation::SetPTT, {on});
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
    LinkBool GetRX() override { return query(LinkOperation::GetRX, station_.rx_); }
    LinkBool GetPTT() override { return query(LinkOperation::GetPTT, station_.ptt_); }
    LinkBool GetCarrier() override { return query(LinkOperation::GetCarrier, station_.carrier_); }
    void SendCW(LinkBool flag, const std::string& text) override {
        operation(LinkOperation::SendCW, {flag, text});
    }
    StationInfo GetStation() override {
        before(LinkOperation::GetStation);
        StationInfo info{station_.callsign_};
        record(LinkOperation::GetStation, {}, info.StationCallsign);
        return info;
    }
    void SetAux(LinkBool on) override {
        before(LinkOperation::SetAux);
        station_.aux_ = on != 0;
        record(LinkOperation::SetAux, {on});
        station_.stateChanged();
    }
    void SendStationText(const std::string& text) override {
        operation(LinkOperation::SendStationText, {text});
    }
    void SetControlMode(LinkBool on) override { operation(LinkOperation::SetControlMode, {on}); }
    void Speak(const std::string& text) override { operation(LinkOperation::Speak, {text}); }
    void PlayPrompt(std::int32_t number) override {
        operation(LinkOperation::PlayPrompt, {number});
    }

  private:
    /// A failure asked for, or a stall: the watcher hears of each second waited.
    void before(LinkOperation op) {
        station_.checkFailure(nameOf(op));
        if (!station_.stall_) return;
        const SimulatedStation::Stall stall = std::move(*station_.stall_);
        station_.stall_.reset();
        if (watcher_ == nullptr) return;
        using std::chrono::seconds;
        for (seconds waited{1}; waited <= stall.duration; ++waited) {
            watcher_->linkNotAnswering(waited);
        }
        if (stall.meanwhile) stall.meanwhile();
        watcher_->linkAnswering(stall.duration);
    }
    LinkBool query(LinkOperation op, bool state) {
        before(op);
        const LinkBool value = toLinkBool(state);
        record(op, {}, value);
        return value;
    }
    void operation(LinkOperation op, std::vector<LinkValue> arguments) {
        before(op);
        record(op, std::move(arguments));
    }
    void record(LinkOperation op, std::vector<LinkValue> arguments,
                std::optional<LinkValue> result = std::nullopt) {
        station_.record(
            LinkCall{op, std::move(arguments), std::move(result), definitionOf(op).query});
    }

    SimulatedStation& station_;
    LinkEvents* sink_ = nullptr;
    LinkWatcher* watcher_ = nullptr;
};

SimulatedStation::SimulatedStation(Post post)
    : post_(std::move(post)), alive_(std::make_shared<bool>(true)) {}

SimulatedStation::~SimulatedStation() = default;

std::unique_ptr<LinkHost> SimulatedStation::createReference() {
    checkFailure(kFailCreation);
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

void SimulatedStation::stallNextCall(std::chrono::milliseconds duration,
                                     std::function<void()> meanwhile) {
    stall_ = Stall{duration, std::move(meanwhile)};
}

void SimulatedStation::failNext(const std::string& operation) {
    failNext_.push_back(operation);
}

void SimulatedStation::checkFailure(std::string_view operation) {
    const auto it = std::find(failNext_.begin(), failNext_.end(), operation);
    if (it == failNext_.end()) return;
    failNext_.erase(it);
    if (operation == kFailCreation) throw LinkError("EchoLink could not be started.");
    throw LinkError("The call " + std::string(operation) + " failed.");
}

SimulatedStation::ObserverId SimulatedStation::addCallObserver(
    std::function<void(const LinkCall&)> observer) {
    callObservers_.push_back({nextObserver_, std::make_shared<std::function<void(const LinkCall&)>>(
                                                 std::move(observer))});
    return nextObserver_++;
}

SimulatedStation::ObserverId SimulatedStation::addStateObserver(std::function<void()> observer) {
    stateObservers_.push_back(
        {nextObserver_, std::make_shared<std::function<void()>>(std::move(observer))});
    return nextObserver_++;
}

void SimulatedStation::removeObserver(ObserverId id) {
    const auto matches = [id](const auto& registered) { return registered.id == id; };
    std::erase_if(callObservers_, matches);
    std::erase_if(stateObservers_, matches);
}

template <typename Observer, typename... Args>
void SimulatedStation::notify(const std::vector<Registered<Observer>>& observers, Args&... args) {
    // An observer may add or remove observers: walk a copy, and skip the removed ones.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): the original may change
    const std::vector<Registered<Observer>> snapshot = observers;
    for (const Registered<Observer>& entry : snapshot) {
        const bool stillThere =
            std::any_of(observers.begin(), observers.end(),
                        [&entry](const auto& registered) { return registered.id == entry.id; });
        if (stillThere) (*entry.observer)(args...);
    }
}

void SimulatedStation::record(const LinkCall& call) {
    notify(callObservers_, call);
}

void SimulatedStation::stateChanged() {
    notify(stateObservers_);
}

}  // namespace relaydeck
