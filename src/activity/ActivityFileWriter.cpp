#include "activity/ActivityFileWriter.h"

#include <chrono>
#include <utility>

#include "controller/IntervalTimer.h"

namespace relaydeck {

namespace {
/// How long records wait before the writer is woken, and then how often the outcome is
/// looked for. Waking the writer, and its file calls, are kept out of the handler that
/// made the record: under Wine they would queue with its link calls in the same server.
constexpr std::chrono::milliseconds kWriteAfter{20};
}  // namespace

ActivityFileWriter::ActivityFileWriter(std::filesystem::path folder, const UtcOffset& offset,
                                       TimerService& timers, ActivityFile::StateListener onState)
    : file_(std::move(folder), offset, ActivityFile::kDefaultKeepDays,
            [this](const std::optional<std::string>& failure) {
                const std::lock_guard lock(mutex_);
                writtenFailure_ = failure;
            }),
      onState_(std::move(onState)),
      reportTimer_(timers.createTimer([this] { reportState(); })) {
    reportTimer_->setInterval(kWriteAfter);
    writer_ = std::thread([this] { writeQueued(); });
}

ActivityFileWriter::~ActivityFileWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void ActivityFileWriter::record(const ActivityRecord& record) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(record);
    }
    if (!reportTimer_->enabled()) reportTimer_->start();
}

void ActivityFileWriter::flush() {
    wake_.notify_one();
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return queue_.empty() && !writing_; });
    }
    reportState();
}

void ActivityFileWriter::writeQueued() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        while (!queue_.empty()) {
            const ActivityRecord next = std::move(queue_.front());
            queue_.pop_front();
            writing_ = true;
            lock.unlock();
            file_.record(next);
            lock.lock();
            writing_ = false;
        }
        idle_.notify_all();
        if (stopping_) return;
    }
}

void ActivityFileWriter::reportState() {
    std::optional<std::string> failure;
    {
        std::unique_lock lock(mutex_);
        // Told once the writer has caught up, so that the state is that of the last write.
        if (!queue_.empty() || writing_) {
            lock.unlock();
            wake_.notify_one();
            return;
        }
        failure = writtenFailure_;
    }
    reportTimer_->stop();
    if (failure == shownFailure_) return;
    shownFailure_ = std::move(failure);
    if (onState_) onState_(shownFailure_);
}

}  // namespace relaydeck
