#pragma once
/// @file
/// @brief A thread of its own for a service that may stall (a speech daemon, a sound
///        server), so that the window thread never waits for one.

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace relaydeck {

/// @brief Runs tasks in order on a thread with its own event loop, started on first use.
///
/// Posting never waits. The destructor lets the queued tasks run, then asks the thread to
/// finish and gives it the stop limit; a thread stuck in a service that does not answer is left
/// behind (its tasks still queued) rather than holding up the window thread.
class ServiceThread {
  public:
    explicit ServiceThread(QString name,
                           std::chrono::milliseconds stopLimit = std::chrono::milliseconds(500));
    ~ServiceThread();
    ServiceThread(const ServiceThread&) = delete;
    ServiceThread& operator=(const ServiceThread&) = delete;

    /// @brief Queues @p task to run on the service thread, behind the tasks before it.
    void post(std::function<void()> task);
    /// @brief Whether the thread has been started by a first task.
    bool started() const { return thread_ != nullptr; }

  private:
    QString name_;
    std::chrono::milliseconds stopLimit_;
    QThread* thread_ = nullptr;
    QObject* context_ = nullptr;  ///< lives on the thread; tasks are queued to it
};

/// @brief The way back from a service thread to an object on the window thread.
///
/// The service side may outlive the receiver (a stuck thread left behind): once the
/// receiver's owner calls @ref close, replies are dropped instead of reaching a
/// destroyed object.
class ReplyChannel {
  public:
    explicit ReplyChannel(QObject* receiver) : receiver_(receiver) {}

    /// @brief Runs @p reply later on the receiver's thread, unless the channel is closed.
    void send(std::function<void()> reply);
    /// @brief Drops every later reply; call before the receiver goes away.
    void close();

  private:
    std::mutex mutex_;
    QObject* receiver_;
};

}  // namespace relaydeck
