#include "web/AccessGuard.h"

#include "web/PasswordHash.h"

namespace relaydeck::web {

namespace {
constexpr std::size_t kTokenBytes = 32;
constexpr std::size_t kMaxAddressesTracked = 1024;
}  // namespace

AccessGuard::AccessGuard(std::string passwordHash, Clock clock, Limits limits)
    : hash_(std::move(passwordHash)), clock_(std::move(clock)), limits_(limits) {}

AccessGuard::Login AccessGuard::login(const std::string& address, std::string_view password) {
    const std::lock_guard lock(mutex_);
    if (hash_.empty()) return {Outcome::NoPassword, {}, {}};
    const auto now = clock_();
    Failures& f = failures_[address];
    if (f.lockedUntil && now < *f.lockedUntil) {
        return {
            Outcome::LockedOut, {}, std::chrono::ceil<std::chrono::seconds>(*f.lockedUntil - now)};
    }
    if (f.lockedUntil || (f.count > 0 && now - f.first > limits_.failureWindow)) f = {};

    // Checked under the lock: logins wait for each other, which slows guessing further.
    if (!checkPassword(password, hash_)) {
        if (f.count++ == 0) f.first = now;
        if (f.count >= limits_.maxFailures) {
            f.lockedUntil = now + limits_.lockout;
            return {Outcome::LockedOut, {}, limits_.lockout};
        }
        if (failures_.size() > kMaxAddressesTracked) {
            // Forget addresses that are neither locked nor recent.
            std::erase_if(failures_, [&](const auto& entry) {
                return !entry.second.lockedUntil &&
                       now - entry.second.first > limits_.failureWindow;
            });
        }
        return {Outcome::WrongPassword, {}, {}};
    }
    failures_.erase(address);

    if (sessions_.size() >= limits_.maxSessions) {
        auto oldest = sessions_.begin();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
            if (it->second.lastUsed < oldest->second.lastUsed) oldest = it;
        }
        sessions_.erase(oldest);
    }
    const std::string id = randomToken(kTokenBytes);
    sessions_[id] = {randomToken(kTokenBytes), now, now};
    return {Outcome::LoggedIn, id, {}};
}

AccessGuard::Session* AccessGuard::live(const std::string& session) {
    const auto found = sessions_.find(session);
    if (found == sessions_.end()) return nullptr;
    const auto now = clock_();
    if (now - found->second.lastUsed > limits_.idle ||
        now - found->second.created > limits_.lifetime) {
        sessions_.erase(found);
        return nullptr;
    }
    found->second.lastUsed = now;
    return &found->second;
}

std::optional<std::string> AccessGuard::csrfOf(const std::string& session) {
    const std::lock_guard lock(mutex_);
    if (Session* s = live(session)) return s->csrf;
    return std::nullopt;
}

bool AccessGuard::allows(const std::string& session, std::string_view csrf) {
    const std::lock_guard lock(mutex_);
    Session* s = live(session);
    return s != nullptr && !csrf.empty() && sameSecret(s->csrf, csrf);
}

void AccessGuard::logout(const std::string& session) {
    const std::lock_guard lock(mutex_);
    sessions_.erase(session);
}

}  // namespace relaydeck::web
