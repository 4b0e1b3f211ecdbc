#pragma once
/// @file
/// @brief Who may control the station from afar: logins checked against the password's
///        hash and limited per address, sessions that expire, and their CSRF tokens.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace relaydeck::web {

/// @brief Logins and sessions; safe to use from several threads.
class AccessGuard {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Limits {
        int maxFailures = 5;  ///< wrong passwords within failureWindow before a lockout
        std::chrono::seconds failureWindow{std::chrono::minutes(10)};
        std::chrono::seconds lockout{std::chrono::minutes(5)};
        std::chrono::seconds idle{std::chrono::minutes(30)};  ///< a session unused this long ends
        std::chrono::seconds lifetime{std::chrono::hours(12)};
        std::size_t maxSessions = 32;  ///< beyond it the oldest session ends
    };

    enum class Outcome { LoggedIn, WrongPassword, LockedOut, NoPassword };
    struct Login {
        Outcome outcome = Outcome::WrongPassword;
        std::string session;                 ///< the cookie's value, when logged in
        std::chrono::seconds retryAfter{0};  ///< when locked out
    };

    /// @brief @p passwordHash as makePasswordHash made it (empty: nobody may log in).
    AccessGuard(std::string passwordHash, Clock clock, Limits limits);
    explicit AccessGuard(std::string passwordHash)
        : AccessGuard(std::move(passwordHash), std::chrono::steady_clock::now, Limits{}) {}

    /// @brief A login from @p address.
    Login login(const std::string& address, std::string_view password);
    /// @brief The CSRF token of a live session (its idle time restarts), else nullopt.
    std::optional<std::string> csrfOf(const std::string& session);
    /// @brief True when @p session is live and @p csrf is its token.
    bool allows(const std::string& session, std::string_view csrf);
    void logout(const std::string& session);

  private:
    struct Session {
        std::string csrf;
        std::chrono::steady_clock::time_point created;
        std::chrono::steady_clock::time_point lastUsed;
    };
    struct Failures {
        int count = 0;
        std::chrono::steady_clock::time_point first;
        std::optional<std::chrono::steady_clock::time_point> lockedUntil;
    };
    Session* live(const std::string& session);

    std::string hash_;
    Clock clock_;
    Limits limits_;
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
    std::map<std::string, Failures> failures_;
};

}  // namespace relaydeck::web
