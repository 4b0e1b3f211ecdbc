#include "ui/QtTimerService.h"

#include <QTimer>

namespace relaydeck {

namespace {

class QtIntervalTimer : public IntervalTimer {
  public:
    explicit QtIntervalTimer(std::function<void()> onTick) : IntervalTimer(std::move(onTick)) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setSingleShot(false);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // A tick already queued when the timer was stopped or re-armed is dropped.
            if (armed()) fire();
        });
    }

  protected:
    void rearm() override {
        // QTimer(0) would fire on every pass of the event loop; our period 0 never fires.
        timer_.stop();
        if (armed()) timer_.start(static_cast<int>(interval().count()));
    }

  private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<IntervalTimer> QtTimerService::createTimer(std::function<void()> onTick) {
    return std::make_unique<QtIntervalTimer>(std::move(onTick));
}

}  // namespace relaydeck
