#pragma once
/// @file
/// @brief Holds the web server's connections: gathers each request whole before a worker sees
///        it, under deadlines, so that slow or idle clients hold no worker and no one can hold
///        the others out.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace httplib {
class Stream;
}

namespace relaydeck::web {

#ifdef _WIN32
using NativeSocket = std::uintptr_t;
#else
using NativeSocket = int;
#endif

/// @brief One thread polls every connection; a small pool of workers answers the requests
/// it has gathered. Its threads yield to the controller's.
class ConnectionGate {
  public:
    struct Limits {
        std::size_t workers = 2;
        /// @brief Connections held at once; a newcomer beyond it displaces the slowest.
        std::size_t maxConnections = 64;
        std::size_t maxHeaderBytes = 16 * 1024;
        std::size_t maxBody = 4096;
        /// @brief From a request's first byte to the end of its headers.
        std::chrono::milliseconds headers{std::chrono::seconds(10)};
        /// @brief From a request's first byte to the end of its answer.
        std::chrono::milliseconds request{std::chrono::seconds(30)};
        /// @brief The longest a client may stay silent in the middle of a request.
        std::chrono::milliseconds silence{std::chrono::seconds(5)};
        /// @brief An answer that cannot be written for this long ends the connection.
        std::chrono::milliseconds write{std::chrono::seconds(5)};
        /// @brief A kept connection waits this long for its next request...
        std::chrono::milliseconds keepAlive{std::chrono::seconds(2)};
        /// @brief ...and serves at most this many.
        std::size_t keepAliveRequests = 100;
    };

    /// @brief Answers one request read from the stream; @p close asks for "Connection: close",
    /// @p closed says the client asked for it. False when the connection is done.
    using Serve = std::function<bool(httplib::Stream& stream, bool close, bool& closed)>;

    /// @brief Starts the threads; throws std::runtime_error without a loopback socket.
    ConnectionGate(Limits limits, Serve serve);
    ~ConnectionGate();
    ConnectionGate(const ConnectionGate&) = delete;
    ConnectionGate& operator=(const ConnectionGate&) = delete;

    /// @brief Takes an accepted connection (from the listening thread); returns at once.
    void admit(NativeSocket socket);
    /// @brief Closes every connection and waits for the threads (a worker ends its answer).
    void stop();

    struct Counts {
        std::size_t held = 0;
        std::size_t displaced = 0;
        std::size_t timedOut = 0;
    };
    /// @brief What the gate holds now and has ended so far.
    Counts counts() const;

  private:
    struct Connection;
    class ConnectionStream;
    using Clock = std::chrono::steady_clock;

    void gather();
    void work();
    void wake();
    void take(std::vector<std::unique_ptr<Connection>>& held);
    void receive(Connection& c, Clock::time_point now);
    void judge(Connection& c, Clock::time_point now);
    void refuse(Connection& c, int status, const char* reason, Clock::time_point now);
    void makeRoom(std::vector<std::unique_ptr<Connection>>& held);

    const Limits limits_;
    const Serve serve_;
    NativeSocket waker_;
    bool stopping_ = false;  ///< under mutex_

    mutable std::mutex mutex_;
    std::condition_variable jobsReady_;
    std::vector<NativeSocket> admitted_;
    std::deque<Connection*> jobs_;
    std::vector<Connection*> returned_;
    Counts counts_;

    std::thread gatherer_;
    std::vector<std::thread> workers_;
};

}  // namespace relaydeck::web
