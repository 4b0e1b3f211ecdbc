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
/// How long the end waits for what is still queued.
constexpr std::chrono::seconds kEndWait{5};
}  // namespace

ActivityFileWriter::Shared::Shared(std::filesystem::path folder, const UtcOffset& offset)
    : file(std::move(folder), offset, ActivityFile::kDefaultKeepDays,
           [this](const std::optional<std::string>& failure) {
               const std::lock_guard lock(mutex);
               writtenFailure = failure;
           }) {}

ActivityFileWriter::ActivityFileWriter(std::filesystem::path folder, const UtcOffset& offset,
                                       TimerService& timers, ActivityFile::StateListener onState)
    : shared_(std::make_shared<Shared>(std::move(folder), offset)),
      onState_(std::move(onState)),
      reportTimer_(timers.createTimer([this] { reportState(); })) {
    reportTimer_->setInterval(kWriteAfter);
    writer_ = std::thread([shared = shared_] { writeQueued(shared); });
}

ActivityFileWriter::~ActivityFileWriter() {
    bool done = false;
    {
        std::unique_lock lock(shared_->mutex);
        shared_->stopping = true;
        shared_->wake.notify_one();
        done = shared_->idle.wait_for(lock, kEndWait, [this] { return shared_->caughtUp(); });
    }
    if (done) {
        writer_.join();
    } else {
        writer_.detach();
    }
}

void ActivityFileWriter::record(const ActivityRecord& record) {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->queue.push_back(record);
    }
    if (!reportTimer_->enabled()) reportTimer_->start();
}

void ActivityFileWriter::flush() {
    shared_->wake.notify_one();
    {
        std::unique_lock lock(shared_->mutex);
        shared_->idle.wait(lock, [this] { return shared_->caughtUp(); });
    }
    reportState();
}

void ActivityFileWriter::writeQueued(const std::shared_ptr<Shared>& shared) {
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->wake.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
        while (!shared->queue.empty()) {
            const ActivityRecord next = std::move(shared->queue.front());
            shared->queue.pop_front();
            shared->writing = true;
            lock.unlock();
            shared->file.record(next);
            lock.lock();
            shared->writing = false;
        }
        shared->idle.notify_all();
        if (shared->stopping) return;
    }
}

void ActivityFileWriter::reportState() {
    std::optional<std::string> failure;
    {
        std::unique_lock lock(shared_->mutex);
        // Told once the writer has caught up, so that the state is that of the last write.
        if (!shared_->caughtUp()) {
            lock.unlock();
            shared_->wake.notify_one();
            return;
        }
        failure = shared_->writtenFailure;
    }
    reportTimer_->stop();
    if (failure == shownFailure_) return;
    shownFailure_ = std::move(failure);
    if (onState_) onState_(shownFailure_);
}

}  // namespace relaydeck
