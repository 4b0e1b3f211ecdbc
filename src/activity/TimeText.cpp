#include "activity/TimeText.h"

#include <cstdio>

namespace relaydeck {

namespace {

using namespace std::chrono;

std::string twoDigits(long long value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

}  // namespace

local_time<milliseconds> toLocal(ActivityTime time, const UtcOffset& offset) {
    const seconds shift = offset ? offset(time) : seconds{0};
    return local_time<milliseconds>{time.time_since_epoch() + shift};
}

ActivityTime fromLocal(local_time<milliseconds> time, const UtcOffset& offset) {
    const ActivityTime guess{time.time_since_epoch()};
    if (!offset) return guess;
    // The offset at the guess, then at the moment it gives (right across a DST change).
    const ActivityTime first = guess - offset(guess);
    return guess - offset(first);
}

std::string formatActivityTime(local_time<milliseconds> time) {
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buffer + twoDigits(clock.hours().count()) + ':' + twoDigits(clock.minutes().count()) +
           ':' + twoDigits(clock.seconds().count()) + '.' +
           twoDigits(clock.subseconds().count() / 10) +
           static_cast<char>('0' + clock.subseconds().count() % 10);
}

std::string formatSeconds(milliseconds duration) {
    const bool negative = duration.count() < 0;
    const long long ms = negative ? -duration.count() : duration.count();
    const long long fraction = ms % 1000;
    std::string text;
    if (negative) text += '-';
    text += std::to_string(ms / 1000);
    text += '.';
    text += static_cast<char>('0' + fraction / 100);
    text += static_cast<char>('0' + fraction / 10 % 10);
    text += static_cast<char>('0' + fraction % 10);
    return text;
}

std::string formatClockSpan(milliseconds span) {
    const long long total = duration_cast<seconds>(span).count();
    const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
    std::string text;
    if (h > 0) {
        text += std::to_string(h);
        text += ':';
        text += twoDigits(m);
    } else {
        text += std::to_string(m);
    }
    text += ':';
    text += twoDigits(s);
    return text;
}

}  // namespace relaydeck
