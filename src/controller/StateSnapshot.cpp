#include "controller/StateSnapshot.h"

#include "controller/IntervalTimer.h"
#include "controller/Program.h"

namespace relaydeck {

bool isGuardRestart(const ActivityRecord& record) {
    if (record.event != ActivityEvent::Guard) return false;
    for (const Language language :
         {Language::AsDesigned, Language::English, Language::Portuguese}) {
        const std::string_view restarting = operatorText(TextId::GuardRestarting, language);
        if (record.detail == operatorText(TextId::GuardStartingAgain, language) ||
            record.detail.starts_with(restarting.substr(0, restarting.find("{1}")))) {
            return true;
        }
    }
    return false;
}

void CountingSink::record(const ActivityRecord& record) {
    StationCounters& c = counters_;
    switch (record.event) {
        case ActivityEvent::LocalOverBegun:
            ++c.localOvers;
            c.carrier = true;
            break;
        case ActivityEvent::LocalOverEnded:
            c.carrier = false;
            break;
        case ActivityEvent::InternetOverBegun:
            ++c.internetOvers;
            c.internetAudio = true;
            break;
        case ActivityEvent::InternetOverEnded:
            c.internetAudio = false;
            break;
        case ActivityEvent::TransmitterOff:
            c.transmitterTime += record.duration.value_or(std::chrono::milliseconds{0});
            break;
        case ActivityEvent::TimeOut:
            ++c.timeOuts;
            break;
        case ActivityEvent::LinkFailure:
            ++c.linkFailures;
            break;
        default:
            if (isIdentification(record.event)) {
                ++c.identifications[static_cast<std::size_t>(record.event) -
                                    static_cast<std::size_t>(ActivityEvent::IdPeriodicMorse)];
            }
            break;
    }
}

void CountingSink::countRestarts(std::span<const ActivityRecord> today) {
    counters_.restarts = 0;
    for (const ActivityRecord& r : today) {
        if (isGuardRestart(r)) ++counters_.restarts;
    }
}

bool StateSnapshot::sameStateAs(const StateSnapshot& o) const {
    return running == o.running && callsign == o.callsign && status == o.status &&
           cwIdCount == o.cwIdCount && speechIdCount == o.speechIdCount &&
           hangTimeCount == o.hangTimeCount && timeOutCount == o.timeOutCount &&
           txLamp == o.txLamp && rxLamp == o.rxLamp && fanLamp == o.fanLamp &&
           timeOutLamp == o.timeOutLamp && timedOut == o.timedOut &&
           linkAnswering == o.linkAnswering && linkNotAnsweringFor == o.linkNotAnsweringFor &&
           repeaterOff == o.repeaterOff && uptime == o.uptime && counters == o.counters &&
           language == o.language;
}

SnapshotBoard::SnapshotBoard() : latest_(std::make_shared<const StateSnapshot>()) {}

void SnapshotBoard::publish(StateSnapshot snapshot) {
    // Compared and built outside the lock; readers share the old one until they let it go.
    const std::shared_ptr<const StateSnapshot> last = current();
    if (last->sequence != 0 && snapshot.sameStateAs(*last)) return;
    snapshot.sequence = last->sequence + 1;
    std::shared_ptr<const StateSnapshot> next =
        std::make_shared<const StateSnapshot>(std::move(snapshot));
    {
        const std::lock_guard lock(mutex_);
        latest_.swap(next);
    }
}

std::shared_ptr<const StateSnapshot> SnapshotBoard::current() const {
    const std::lock_guard lock(mutex_);
    return latest_;
}

StatePublisher::StatePublisher(Program& program, const CountingSink& counters, SnapshotBoard& board,
                               const TimerService& timers)
    : program_(program), counters_(counters), board_(board), timers_(timers) {}

void StatePublisher::publish() noexcept {
    try {
        StateSnapshot s;
        s.counters = counters_.counters();
        s.language = program_.texts().language();
        MainModel* main = program_.main();
        s.running = main != nullptr && main->link() != nullptr && !program_.ended();
        if (s.running) {
            if (!started_) {
                started_ = true;
                startedAt_ = timers_.wallTime();
                callsign_ = main->link()->GetStation().StationCallsign;
            }
            using C = MainControl;
            s.callsign = callsign_;
            s.status = main->text(C::Status);
            s.cwIdCount = main->text(C::txtCWIDTime);
            s.speechIdCount = main->text(C::txtSpeechIDTime);
            s.hangTimeCount = main->text(C::txtHangTimeTime);
            s.timeOutCount = main->text(C::txtTimeOutTime);
            s.txLamp = main->colour(C::PTTLED) != kGrey;
            s.rxLamp = main->colour(C::LED) != kGrey;
            s.fanLamp = main->colour(C::FanLED) != kGrey;
            s.timeOutLamp = main->colour(C::TOLED) != kGrey;
            s.timedOut = main->timedOut();
            s.repeaterOff = main->repeaterOff();
            if (main->linkNotAnsweringSince()) {
                s.linkAnswering = false;
                s.linkNotAnsweringFor =
                    std::chrono::round<std::chrono::seconds>(main->linkNotAnsweringFor());
            }
            s.uptime = std::chrono::floor<std::chrono::seconds>(timers_.wallTime() - startedAt_);
        }
        board_.publish(std::move(s));
    } catch (...) {
        // A state not published now is published after the next handler.
    }
}

}  // namespace relaydeck
