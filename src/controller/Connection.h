#pragma once
/// @file
/// @brief Registrations that end with whoever holds them: an observer, a sink or a
///        listener can never be left registered after it has gone.

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace relaydeck {

/// @brief Ends one registration when it is destroyed (or disconnected), unless what it
/// was registered with has gone first. Movable, not copyable.
class [[nodiscard]] Connection {
  public:
    Connection() = default;
    Connection(std::weak_ptr<const void> source, std::function<void()> undo)
        : source_(std::move(source)), undo_(std::move(undo)) {}
    Connection(Connection&& other) noexcept
        : source_(std::move(other.source_)), undo_(std::exchange(other.undo_, nullptr)) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            source_ = std::move(other.source_);
            undo_ = std::exchange(other.undo_, nullptr);
        }
        return *this;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { disconnect(); }

    /// @brief Ends the registration now; later calls do nothing.
    void disconnect() noexcept {
        const std::function<void()> undo = std::exchange(undo_, nullptr);
        if (const std::shared_ptr<const void> alive = source_.lock(); alive && undo) undo();
        source_.reset();
    }
    /// @brief Whether the registration still stands.
    bool connected() const { return undo_ != nullptr && !source_.expired(); }

  private:
    std::weak_ptr<const void> source_;
    std::function<void()> undo_;
};

/// @brief Held by whatever hands out Connections: they do nothing once it has gone.
class ConnectionSource {
  public:
    ConnectionSource() = default;
    ConnectionSource(const ConnectionSource&) = delete;
    ConnectionSource& operator=(const ConnectionSource&) = delete;

    /// @brief A connection that runs @p undo when it ends, if this source still lives.
    Connection connect(std::function<void()> undo) const { return {alive_, std::move(undo)}; }

  private:
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};

/// @brief The observers of one subject; each stays on the list while its Connection lives.
template <typename Observer>
class ObserverList {
  public:
    /// @brief Adds @p observer until the returned connection ends.
    Connection add(Observer& observer) {
        observers_.push_back(&observer);
        return source_.connect([this, gone = &observer] { std::erase(observers_, gone); });
    }
    /// @brief Calls @p tell for each observer, in the order they came; one that leaves
    /// meanwhile (or is added) is not told.
    template <typename Tell>
    void forEach(const Tell& tell) const {
        for (Observer* o : std::vector<Observer*>(observers_)) {
            if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) tell(*o);
        }
    }

  private:
    std::vector<Observer*> observers_;
    ConnectionSource source_;
};

/// @brief One listener at a time, called until its Connection ends.
class ListenerSlot {
  public:
    /// @brief Makes @p listener the one called, in place of any before it.
    Connection set(std::function<void()> listener) {
        listener_ = std::move(listener);
        return source_.connect([this, set = ++generation_] {
            if (generation_ == set) listener_ = nullptr;
        });
    }
    void operator()() const {
        if (listener_) listener_();
    }

  private:
    std::function<void()> listener_;
    unsigned generation_ = 0;
    ConnectionSource source_;
};

}  // namespace relaydeck
