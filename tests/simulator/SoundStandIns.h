#pragma once
// Stand-ins for the speech engine and the sound output, and patient waits on the event
// loop that never bound how long something may take.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "simulator/MorsePlayer.h"
#include "simulator/SpeechService.h"

namespace relaydeck {

/// Runs the event loop until @p done, for at most 30 s (far longer than anything takes).
inline bool eventually(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 30'000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

/// Runs the event loop for at least @p ms (to look for something that must not happen).
inline void runFor(qint64 ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

/// A service that does not answer until the test opens the gate. Shared with the threads
/// that wait on it, which may wake after the test has ended.
class Gate {
  public:
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

/// What a stand-in speech engine was given, and on which thread.
class Spoken {
  public:
    void add(const QString& text) {
        const std::lock_guard lock(mutex_);
        texts_.append(text);
        thread_ = QThread::currentThread();
    }
    QStringList texts() {
        const std::lock_guard lock(mutex_);
        return texts_;
    }
    qsizetype count() { return texts().size(); }
    QThread* thread() {
        const std::lock_guard lock(mutex_);
        return thread_;
    }
    void endedOn(QThread* thread) {
        const std::lock_guard lock(mutex_);
        endThread_ = thread;
    }
    /// The thread the engine was destroyed on, once it was.
    QThread* endThread() {
        const std::lock_guard lock(mutex_);
        return endThread_;
    }
    /// When set, each text sticks there after being recorded (a daemon stuck in Speak).
    std::shared_ptr<Gate> stuckOn;

  private:
    std::mutex mutex_;
    QStringList texts_;
    QThread* thread_ = nullptr;
    QThread* endThread_ = nullptr;
};

struct RecordingSpeech : SpeechEngine {
    explicit RecordingSpeech(std::shared_ptr<Spoken> to) : spoken(std::move(to)) {}
    ~RecordingSpeech() override { spoken->endedOn(QThread::currentThread()); }
    void say(const QString& text) override {
        spoken->add(text);
        if (spoken->stuckOn != nullptr) spoken->stuckOn->wait();
    }
    std::shared_ptr<Spoken> spoken;
};

/// The sample counts a stand-in sound output was given.
class Played {
  public:
    void add(std::size_t samples) {
        const std::lock_guard lock(mutex_);
        lengths_.push_back(samples);
    }
    std::vector<std::size_t> lengths() {
        const std::lock_guard lock(mutex_);
        return lengths_;
    }
    std::size_t count() { return lengths().size(); }

  private:
    std::mutex mutex_;
    std::vector<std::size_t> lengths_;
};

struct RecordingTones : ToneOutput {
    static constexpr int kRate = 8000;
    explicit RecordingTones(std::shared_ptr<Played> to) : played(std::move(to)) {}
    int sampleRate() const override { return kRate; }
    bool play(const std::vector<float>& samples) override {
        played->add(samples.size());
        return true;
    }
    std::shared_ptr<Played> played;
};

}  // namespace relaydeck
