#include "web/ActivityDay.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "activity/ActivityCsv.h"
#include "activity/ActivityJournal.h"
#include "activity/MarkupText.h"
#include "activity/TimeText.h"
#include "activity/Timeline.h"
#include "activity/TimelineSvg.h"

namespace relaydeck::web {

namespace {

using namespace std::chrono;

template <typename T>
bool number(std::string_view text, T& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && end == text.data() + text.size();
}

/// The fields of one CSV line (a quoted field may hold commas and doubled quotes).
std::vector<std::string> fields(std::string_view line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                out.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

/// "2026-12-07 13:46:01.250"
std::optional<ActivityTime> parseTime(std::string_view text) {
    if (text.size() != 23 || text[10] != ' ') return std::nullopt;
    const auto day = parseDay(text.substr(0, 10));
    int h = 0, m = 0, s = 0, ms = 0;
    if (!day || !number(text.substr(11, 2), h) || !number(text.substr(14, 2), m) ||
        !number(text.substr(17, 2), s) || !number(text.substr(20, 3), ms)) {
        return std::nullopt;
    }
    return sys_days{*day} + hours{h} + minutes{m} + seconds{s} + milliseconds{ms};
}

std::optional<ActivityEvent> parseEvent(std::string_view name) {
    for (int i = 0; i < static_cast<int>(ActivityEvent::Count); ++i) {
        const auto event = static_cast<ActivityEvent>(i);
        if (name == activityEventName(event)) return event;
    }
    return std::nullopt;
}

std::optional<milliseconds> parseDuration(std::string_view text) {
    const std::size_t dot = text.find('.');
    long long whole = 0, thousandths = 0;
    if (dot == std::string_view::npos || text.size() - dot != 4 ||
        !number(text.substr(0, dot), whole) || !number(text.substr(dot + 1), thousandths)) {
        return std::nullopt;
    }
    return milliseconds{whole * 1000 + thousandths};
}

}  // namespace

std::optional<year_month_day> parseDay(std::string_view text) {
    int y = 0;
    unsigned m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !number(text.substr(0, 4), y) ||
        !number(text.substr(5, 2), m) || !number(text.substr(8, 2), d)) {
        return std::nullopt;
    }
    const year_month_day day{year{y}, month{m}, std::chrono::day{d}};
    return day.ok() ? std::optional(day) : std::nullopt;
}

std::string dayText(year_month_day day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return buffer;
}

std::vector<ActivityRecord> parseActivityCsv(std::string_view text) {
    std::vector<ActivityRecord> records;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        const auto f = fields(line);
        if (f.size() != 4) continue;
        const auto time = parseTime(f[0]);
        const auto event = parseEvent(f[1]);
        if (!time || !event) continue;
        records.push_back({*time, *event, parseDuration(f[2]), f[3]});
    }
    return records;
}

std::vector<year_month_day> keptDays(const std::filesystem::path& folder) {
    std::vector<year_month_day> days;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        if (auto day = activityFileDay(std::string(name.begin(), name.end()))) {
            days.push_back(*day);
        }
    }
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

std::optional<std::string> readDayFile(const std::filesystem::path& folder, year_month_day day) {
    std::ifstream in(folder / activityFileName(day), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string activityDaySvg(year_month_day day, const std::vector<ActivityRecord>& records,
                           Language language) {
    const ActivityTime from{sys_days{day}};
    TimelineFrame frame;
    frame.title = operatorText(TextId::WebActivityOf, language, {dayText(day)});
    frame.legend = true;
    TimelineDrawing drawing = drawTimeline(buildTimeline(records, from, from + days{1}), frame);
    for (DrawItem& item : drawing.items) item.text = shownText(item.text, language);
    return timelineSvg(drawing);
}

std::string activityPageBody(const std::vector<year_month_day>& kept, year_month_day day,
                             const std::vector<ActivityRecord>& records, Language language) {
    const std::string when = dayText(day);
    const ActivityTime end{sys_days{day} + days{1}};
    const ActivityTime now = records.empty() ? end : std::min(end, records.back().time);
    const ActivityTotals t = totalsOf(records, now);
    const auto text = [language](TextId id, std::string_view value = {}) {
        return escapeMarkup(operatorText(id, language, {value}));
    };
    std::string html = "<h1>" + text(TextId::WebActivityOf, when) + "</h1>\n<p>";
    for (const year_month_day& d : kept) {
        const std::string name = dayText(d);
        html += d == day ? "<strong>" + name + "</strong> "
                         : "<a href=\"/activity?day=" + name + "\">" + name + "</a> ";
    }
    html += "</p>\n<table class=\"totals\">\n";
    // The activity window's captions, without the colon a table heading does not need.
    const auto row = [&html, &text](TextId name, const std::string& value) {
        std::string heading = text(name);
        if (heading.ends_with(':')) heading.pop_back();
        html += "<tr><th>" + heading + "</th><td>" + escapeMarkup(value) + "</td></tr>\n";
    };
    row(TextId::ActivityLocalOvers, std::to_string(t.localOvers));
    row(TextId::ActivityInternetOvers, std::to_string(t.internetOvers));
    row(TextId::ActivityTransmitterTime, formatClockSpan(t.transmitterTime));
    row(TextId::ActivityLongestOver, formatClockSpan(t.longestOver));
    row(TextId::ActivityTimeOuts, std::to_string(t.timeOuts));
    row(TextId::ActivityIdentifications, std::to_string(t.identifications));
    html += "</table>\n<p><img class=\"timeline\" alt=\"" + text(TextId::WebTimelineOf, when) +
            "\" src=\"/activity.svg?day=" + when +
            "\"></p>\n<p><a href=\"/activity.csv?day=" + when + "\" download>" +
            text(TextId::WebDownload, activityFileName(day)) + "</a></p>\n";
    return html;
}

}  // namespace relaydeck::web
