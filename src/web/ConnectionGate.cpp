#include "web/ConnectionGate.h"

#include "web/HttpLibrary.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

#include "web/ServerThreads.h"

namespace relaydeck::web {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

#ifdef _WIN32
using PollFd = WSAPOLLFD;
constexpr int kShutWrite = SD_SEND;
constexpr int kSendFlags = 0;
SOCKET native(NativeSocket s) {
    return static_cast<SOCKET>(s);
}
int pollSockets(PollFd* fds, std::size_t count, int timeoutMs) {
    return WSAPoll(fds, static_cast<ULONG>(count), timeoutMs);
}
void closeSocket(NativeSocket s) {
    closesocket(native(s));
}
bool wouldBlock() {
    const int error = WSAGetLastError();
    return error == WSAEWOULDBLOCK || error == WSAEINTR;
}
void setNonBlocking(NativeSocket s) {
    u_long on = 1;
    ioctlsocket(native(s), FIONBIO, &on);
}
long receiveSome(NativeSocket s, char* into, std::size_t size) {
    return recv(native(s), into, static_cast<int>(size), 0);
}
long sendSome(NativeSocket s, const char* from, std::size_t size) {
    return send(native(s), from, static_cast<int>(size), kSendFlags);
}
constexpr NativeSocket kNoSocket = static_cast<NativeSocket>(INVALID_SOCKET);
#else
using PollFd = pollfd;
constexpr int kShutWrite = SHUT_WR;
constexpr int kSendFlags = MSG_NOSIGNAL;
int native(NativeSocket s) {
    return s;
}
int pollSockets(PollFd* fds, std::size_t count, int timeoutMs) {
    return ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
}
void closeSocket(NativeSocket s) {
    ::close(s);
}
bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}
void setNonBlocking(NativeSocket s) {
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL, 0) | O_NONBLOCK);
}
long receiveSome(NativeSocket s, char* into, std::size_t size) {
    return static_cast<long>(::recv(s, into, size, 0));
}
long sendSome(NativeSocket s, const char* from, std::size_t size) {
    return static_cast<long>(::send(s, from, size, kSendFlags));
}
constexpr NativeSocket kNoSocket = -1;
#endif

/// The milliseconds from @p now to @p until, for poll (0 when past).
int millisecondsUntil(Clock::time_point until, Clock::time_point now) {
    if (until <= now) return 0;
    const auto left = std::chrono::ceil<milliseconds>(until - now).count();
    return static_cast<int>(std::min<long long>(left, 60'000));
}

/// The numeric address and port of a socket's peer (or its own end).
void addressOf(NativeSocket s, bool peer, std::string& address, int& port) {
    sockaddr_storage storage{};
    socklen_t length = sizeof storage;
    auto* where = reinterpret_cast<sockaddr*>(&storage);
    const int got =
        peer ? getpeername(native(s), where, &length) : getsockname(native(s), where, &length);
    if (got != 0) return;
    char host[NI_MAXHOST] = {};
    char service[NI_MAXSERV] = {};
    if (getnameinfo(where, length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
        address = host;
        port = std::atoi(service);
    }
}

/// A datagram socket that sends to itself on 127.0.0.1: wakes the poll on both platforms.
NativeSocket makeWaker() {
    const auto s = static_cast<NativeSocket>(::socket(AF_INET, SOCK_DGRAM, 0));
    if (s == kNoSocket) return kNoSocket;
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof self;
    auto* where = reinterpret_cast<sockaddr*>(&self);
    if (bind(native(s), where, length) != 0 || getsockname(native(s), where, &length) != 0 ||
        connect(native(s), where, length) != 0) {
        closeSocket(s);
        return kNoSocket;
    }
    setNonBlocking(s);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

struct ConnectionGate::Connection {
    enum class State { Waiting, Reading, Busy, Draining, Done };

    explicit Connection(NativeSocket s) : socket(s) {
        addressOf(s, true, peer, peerPort);
        addressOf(s, false, local, localPort);
    }
    ~Connection() { closeSocket(socket); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    NativeSocket socket;
    std::string peer, local;
    int peerPort = 0, localPort = 0;
    State state = State::Waiting;
    std::string buffer;        ///< received and not yet answered
    std::size_t consumed = 0;  ///< read by the worker
    std::size_t scanned = 0;   ///< searched for the end of the headers
    std::size_t whole = 0;     ///< the request's length once its headers are in
    Clock::time_point firstByte{}, lastByte{}, deadline{};
    std::size_t served = 0;
    std::size_t drained = 0;
    bool keep = false;  ///< the worker's verdict
};

/// @brief The worker's view of a gathered request: reads come from what the gate received,
/// writes go out under the answer's deadline.
class ConnectionGate::ConnectionStream final : public httplib::Stream {
  public:
    ConnectionStream(Connection& c, Clock::time_point deadline, milliseconds stall)
        : c_(c), deadline_(deadline), stall_(stall) {}

    bool is_readable() const override { return c_.consumed < c_.buffer.size(); }
    bool is_writable() const override { return !broken_; }
    ssize_t read(char* ptr, size_t size) override {
        const std::size_t n = std::min(size, c_.buffer.size() - c_.consumed);
        std::memcpy(ptr, c_.buffer.data() + c_.consumed, n);
        c_.consumed += n;
        return static_cast<ssize_t>(n);
    }
    /// The library writes an answer in pieces: they leave as one.
    ssize_t write(const char* ptr, size_t size) override {
        if (broken_) return -1;
        pending_.append(ptr, size);
        if (pending_.size() >= kFlushBytes) flush();
        return broken_ ? -1 : static_cast<ssize_t>(size);
    }
    /// Sends what is written, waiting while the client reads no more than the deadlines allow.
    void flush() {
        std::size_t sent = 0;
        auto progress = Clock::now();
        while (sent < pending_.size() && !broken_) {
            const long n = sendSome(c_.socket, pending_.data() + sent, pending_.size() - sent);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                progress = Clock::now();
                continue;
            }
            if (n < 0 && !wouldBlock()) break;
            const auto now = Clock::now();
            const auto until = std::min(deadline_, progress + stall_);
            PollFd fd{};
            fd.fd = native(c_.socket);
            fd.events = POLLOUT;
            if (now >= until || pollSockets(&fd, 1, millisecondsUntil(until, now)) < 0) break;
        }
        if (sent < pending_.size()) broken_ = true;
        pending_.clear();
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = c_.peer;
        port = c_.peerPort;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = c_.local;
        port = c_.localPort;
    }
    socket_t socket() const override { return static_cast<socket_t>(c_.socket); }
    bool broken() const { return broken_; }

  private:
    static constexpr std::size_t kFlushBytes = 64 * 1024;
    Connection& c_;
    Clock::time_point deadline_;
    milliseconds stall_;
    std::string pending_;
    bool broken_ = false;
};

ConnectionGate::ConnectionGate(Limits limits, Serve serve)
    : limits_(limits), serve_(std::move(serve)), waker_(makeWaker()) {
    if (waker_ == kNoSocket) throw std::runtime_error("no loopback socket to wake the gate");
    gatherer_ = std::thread([this] {
        nameThisThread("rd-web-gate");
        yieldToController();
        gather();
    });
    for (std::size_t i = 0; i < std::max<std::size_t>(limits_.workers, 1); ++i) {
        workers_.emplace_back([this] {
            nameThisThread("rd-web-worker");
            yieldToController();
            work();
        });
    }
}

ConnectionGate::~ConnectionGate() {
    stop();
    if (waker_ != kNoSocket) closeSocket(waker_);
}

void ConnectionGate::admit(NativeSocket socket) {
    bool refuse = false;
    {
        const std::lock_guard lock(mutex_);
        refuse = stopping_;
        if (!refuse) admitted_.push_back(socket);
    }
    if (refuse) {
        closeSocket(socket);
        return;
    }
    wake();
}

void ConnectionGate::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobsReady_.notify_all();
    wake();
    if (gatherer_.joinable()) gatherer_.join();
    for (auto& w : workers_) {
        if (w.joinable()) w.join();
    }
}

ConnectionGate::Counts ConnectionGate::counts() const {
    const std::lock_guard lock(mutex_);
    return counts_;
}

void ConnectionGate::wake() {
    const char byte = 0;
    if (waker_ != kNoSocket) sendSome(waker_, &byte, 1);
}

void ConnectionGate::gather() {
    std::vector<std::unique_ptr<Connection>> held;
    std::vector<PollFd> fds;
    std::vector<Connection*> polled;
    for (;;) {
        take(held);
        bool stopping = false;
        {
            const std::lock_guard lock(mutex_);
            stopping = stopping_;
        }
        auto now = Clock::now();
        std::size_t busy = 0;
        std::size_t timedOut = 0;
        for (auto& c : held) {
            if (c->state == Connection::State::Busy) {
                ++busy;
            } else if (stopping) {
                c->state = Connection::State::Done;
            } else if (now >= c->deadline) {
                if (c->state == Connection::State::Reading) ++timedOut;
                c->state = Connection::State::Done;
            }
        }
        std::erase_if(held, [](const auto& c) { return c->state == Connection::State::Done; });
        {
            const std::lock_guard lock(mutex_);
            counts_.held = held.size();
            counts_.timedOut += timedOut;
        }
        if (stopping && busy == 0) return;

        fds.clear();
        polled.clear();
        fds.push_back(PollFd{});
        fds.back().fd = native(waker_);
        fds.back().events = POLLIN;
        auto soonest = Clock::time_point::max();
        for (auto& c : held) {
            if (c->state == Connection::State::Busy) continue;
            fds.push_back(PollFd{});
            fds.back().fd = native(c->socket);
            fds.back().events = POLLIN;
            polled.push_back(c.get());
            soonest = std::min(soonest, c->deadline);
        }
        const int timeout =
            soonest == Clock::time_point::max() ? -1 : millisecondsUntil(soonest, now);
        if (pollSockets(fds.data(), fds.size(), timeout) < 0) {
            std::this_thread::sleep_for(milliseconds(1));  // rare: an interrupted wait
            continue;
        }
        if (fds[0].revents != 0) {
            char drain[64];
            while (receiveSome(waker_, drain, sizeof drain) > 0) {
            }
        }
        now = Clock::now();
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents != 0) receive(*polled[i - 1], now);
        }
    }
}

void ConnectionGate::take(std::vector<std::unique_ptr<Connection>>& held) {
    std::vector<NativeSocket> admitted;
    std::vector<Connection*> returned;
    {
        const std::lock_guard lock(mutex_);
        admitted.swap(admitted_);
        returned.swap(returned_);
    }
    const auto now = Clock::now();
    for (Connection* c : returned) {
        c->buffer.erase(0, c->consumed);
        c->consumed = c->scanned = c->whole = 0;
        if (!c->keep) {
            c->state = Connection::State::Done;
        } else if (c->buffer.empty()) {
            c->state = Connection::State::Waiting;
            c->deadline = now + limits_.keepAlive;
        } else {  // the next request came with the last
            c->state = Connection::State::Reading;
            c->firstByte = c->lastByte = now;
            judge(*c, now);
        }
    }
    std::erase_if(held, [](const auto& c) { return c->state == Connection::State::Done; });
    for (const NativeSocket s : admitted) {
        if (held.size() >= limits_.maxConnections) makeRoom(held);
        auto c = std::make_unique<Connection>(s);
        setNonBlocking(s);
        const int on = 1;  // answers leave whole (see ConnectionStream), never held back
        setsockopt(native(s), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                   sizeof on);
        c->deadline = now + std::min(limits_.headers, limits_.silence);
        if (held.size() >= limits_.maxConnections) {  // every one is being answered
            refuse(*c, 503, "Service Unavailable", now);
        }
        held.push_back(std::move(c));
    }
}

void ConnectionGate::makeRoom(std::vector<std::unique_ptr<Connection>>& held) {
    // An idle connection goes first; else the oldest unfinished request from the address that
    // holds the most connections: a slow client gives way to newcomers.
    std::map<std::string, std::size_t> perAddress;
    for (const auto& c : held) ++perAddress[c->peer];
    Connection* victim = nullptr;
    const auto rank = [&perAddress](const Connection& c) {
        const int idle = c.state == Connection::State::Reading ? 0 : 1;
        return std::make_tuple(idle, perAddress[c.peer], -c.firstByte.time_since_epoch().count());
    };
    for (const auto& c : held) {
        if (c->state == Connection::State::Busy) continue;
        if (victim == nullptr || rank(*c) > rank(*victim)) victim = c.get();
    }
    if (victim == nullptr) return;
    std::erase_if(held, [victim](const auto& c) { return c.get() == victim; });
    const std::lock_guard lock(mutex_);
    ++counts_.displaced;
}

void ConnectionGate::receive(Connection& c, Clock::time_point now) {
    const std::size_t cap = limits_.maxHeaderBytes + limits_.maxBody;
    char chunk[4096];
    for (;;) {
        const long n = receiveSome(c.socket, chunk, sizeof chunk);
        if (n == 0 || (n < 0 && !wouldBlock())) {
            c.state = Connection::State::Done;  // the client went away
            return;
        }
        if (n < 0) break;
        const auto got = static_cast<std::size_t>(n);
        if (c.state == Connection::State::Draining) {
            c.drained += got;
            if (c.drained > 4 * cap) {
                c.state = Connection::State::Done;
                return;
            }
            continue;
        }
        if (c.state == Connection::State::Waiting) {
            c.state = Connection::State::Reading;
            c.firstByte = now;
        }
        c.lastByte = now;
        c.buffer.append(chunk, got);
        if (c.buffer.size() > cap) break;
    }
    if (c.state == Connection::State::Reading) judge(c, now);
}

void ConnectionGate::judge(Connection& c, Clock::time_point now) {
    if (c.whole == 0) {
        const std::size_t from = c.scanned > 3 ? c.scanned - 3 : 0;
        const std::size_t end = c.buffer.find("\r\n\r\n", from);
        if (end == std::string::npos) {
            c.scanned = c.buffer.size();
            if (c.buffer.size() > limits_.maxHeaderBytes) {
                return refuse(c, 431, "Request Header Fields Too Large", now);
            }
            c.deadline = std::min({c.firstByte + limits_.headers, c.firstByte + limits_.request,
                                   c.lastByte + limits_.silence});
            return;
        }
        const std::size_t headersEnd = end + 4;
        if (headersEnd > limits_.maxHeaderBytes) {
            return refuse(c, 431, "Request Header Fields Too Large", now);
        }
        // The body's length: only Content-Length, and no more than a form needs.
        std::size_t body = 0;
        bool proceed = false;
        std::string_view headers(c.buffer.data(), end);
        std::size_t at = headers.find("\r\n");
        while (at != std::string_view::npos) {
            const std::size_t next = headers.find("\r\n", at + 2);
            const std::string_view line = headers.substr(at + 2, next - (at + 2));
            at = next;
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos) continue;
            const std::string_view name = trimmed(line.substr(0, colon));
            const std::string_view value = trimmed(line.substr(colon + 1));
            if (equalsIgnoringCase(name, "Transfer-Encoding")) {
                return refuse(c, 411, "Length Required", now);
            }
            if (equalsIgnoringCase(name, "Content-Length")) {
                if (value.empty() || value.size() > 9 ||
                    !std::all_of(value.begin(), value.end(),
                                 [](char d) { return d >= '0' && d <= '9'; })) {
                    return refuse(c, 400, "Bad Request", now);
                }
                body = static_cast<std::size_t>(std::stoul(std::string(value)));
                if (body > limits_.maxBody) return refuse(c, 413, "Payload Too Large", now);
            }
            if (equalsIgnoringCase(name, "Expect") && equalsIgnoringCase(value, "100-continue")) {
                proceed = true;
            }
        }
        c.whole = headersEnd + body;
        // A client that waits to be asked for its body is asked now: the body is gathered here.
        if (proceed && c.buffer.size() < c.whole) {
            constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
            sendSome(c.socket, kContinue.data(), kContinue.size());
        }
    }
    if (c.buffer.size() >= c.whole) {
        c.state = Connection::State::Busy;
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(&c);
        }
        jobsReady_.notify_one();
        return;
    }
    c.deadline = std::min(c.firstByte + limits_.request, c.lastByte + limits_.silence);
}

void ConnectionGate::refuse(Connection& c, int status, const char* reason, Clock::time_point now) {
    // Best effort without waiting; then the rest of what the client sends is read and
    // dropped for a moment, so that the answer is not lost to a reset.
    const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason +
                               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    sendSome(c.socket, answer.data(), answer.size());
    shutdown(native(c.socket), kShutWrite);
    c.buffer.clear();
    c.state = Connection::State::Draining;
    c.deadline = now + std::chrono::seconds(1);
}

void ConnectionGate::work() {
    for (;;) {
        Connection* c = nullptr;
        bool stopping = false;
        {
            std::unique_lock lock(mutex_);
            jobsReady_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            c = jobs_.front();
            jobs_.pop_front();
            stopping = stopping_;
        }
        c->keep = false;
        if (!stopping) {
            ConnectionStream stream(*c, c->firstByte + limits_.request, limits_.write);
            const bool last = c->served + 1 >= limits_.keepAliveRequests;
            bool closed = false;
            bool answered = false;
            try {
                answered = serve_(stream, last, closed);
                stream.flush();
            } catch (...) {
                answered = false;
            }
            ++c->served;
            c->keep = answered && !closed && !last && !stream.broken();
        }
        {
            const std::lock_guard lock(mutex_);
            returned_.push_back(c);
        }
        wake();
    }
}

}  // namespace relaydeck::web
