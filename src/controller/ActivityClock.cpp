#include "controller/ActivityClock.h"

namespace relaydeck {

using namespace std::chrono;

local_time<milliseconds> toLocal(ActivityTime time, const UtcOffset& offset) {
    const seconds shift = offset ? offset(time) : seconds{0};
    return local_time<milliseconds>{time.time_since_epoch() + shift};
}

std::string formatClockSpan(milliseconds span) {
    const long long total = duration_cast<seconds>(span).count();
    const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
    const auto appendTwo = [](std::string& text, long long v) {
        text += static_cast<char>('0' + v / 10);
        text += static_cast<char>('0' + v % 10);
    };
    std::string text;
    if (h > 0) {
        text += std::to_string(h);
        text += ':';
        appendTwo(text, m);
    } else {
        text += std::to_string(m);
    }
    text += ':';
    appendTwo(text, s);
    return text;
}

}  // namespace relaydeck
