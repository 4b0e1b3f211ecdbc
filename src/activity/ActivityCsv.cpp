#include "activity/ActivityCsv.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <system_error>

#include "controller/OperatorTexts.h"

namespace relaydeck {

namespace {

using namespace std::chrono;

std::string dayText(year_month_day day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return buffer;
}

/// A detail as a field: on one line, inert for a spreadsheet, quoted when it has to be.
std::string csvField(std::string_view text) {
    std::string field;
    if (!text.empty() &&
        std::string_view("=+-@\t\r'").find(text.front()) != std::string_view::npos) {
        field += '\'';
    }
    for (const char c : text) field += c == '\r' || c == '\n' ? ' ' : c;
    if (field.find_first_of(",\"") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

/// The digits of @p text from @p at, exactly @p count of them.
std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

/// "2026-12-07 13:46:01.250".
std::optional<local_time<milliseconds>> readTime(std::string_view text) {
    if (text.size() != 23 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.') {
        return std::nullopt;
    }
    const auto y = digits(text, 0, 4), mo = digits(text, 5, 2), d = digits(text, 8, 2),
               h = digits(text, 11, 2), mi = digits(text, 14, 2), s = digits(text, 17, 2),
               ms = digits(text, 20, 3);
    if (!y || !mo || !d || !h || !mi || !s || !ms || *h > 23 || *mi > 59 || *s > 59) {
        return std::nullopt;
    }
    const year_month_day day{year{*y}, month{static_cast<unsigned>(*mo)},
                             std::chrono::day{static_cast<unsigned>(*d)}};
    if (!day.ok()) return std::nullopt;
    return local_days{day} + hours{*h} + minutes{*mi} + seconds{*s} + milliseconds{*ms};
}

/// "12.500", "-1.500": seconds with three decimals.
std::optional<milliseconds> readSeconds(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0 || point > 9 || text.size() != point + 4) {
        return std::nullopt;
    }
    const auto whole = digits(text, 0, point);
    const auto fraction = digits(text, point + 1, 3);
    if (!whole || !fraction) return std::nullopt;
    const milliseconds value{static_cast<long long>(*whole) * 1000 + *fraction};
    return negative ? -value : value;
}

/// The detail field as written: unquoted, the inert mark taken off.
std::optional<std::string> readDetail(std::string_view text) {
    std::string detail;
    if (text.starts_with('"')) {
        if (text.size() < 2 || !text.ends_with('"')) return std::nullopt;
        text = text.substr(1, text.size() - 2);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '"') {
                if (i + 1 >= text.size() || text[i + 1] != '"') return std::nullopt;
                ++i;
            }
            detail += text[i];
        }
    } else {
        if (text.find('"') != std::string_view::npos) return std::nullopt;
        detail = text;
    }
    if (detail.starts_with('\'')) detail.erase(0, 1);
    return detail;
}

}  // namespace

std::string activityCsvLine(const ActivityRecord& record, const UtcOffset& offset) {
    std::string line = formatActivityTime(toLocal(record.time, offset));
    line += ',';
    line += activityEventName(record.event);
    line += ',';
    if (record.duration) line += formatSeconds(*record.duration);
    line += ',';
    line += csvField(record.detail);
    return line;
}

std::optional<ActivityRecord> readActivityCsvLine(std::string_view line, const UtcOffset& offset) {
    while (line.ends_with('\n') || line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t a = line.find(',');
    const std::size_t b = a == std::string_view::npos ? a : line.find(',', a + 1);
    const std::size_t c = b == std::string_view::npos ? b : line.find(',', b + 1);
    if (c == std::string_view::npos) return std::nullopt;
    const auto time = readTime(line.substr(0, a));
    const auto event = activityEventFromName(line.substr(a + 1, b - a - 1));
    const std::string_view duration = line.substr(b + 1, c - b - 1);
    const auto seconds = readSeconds(duration);
    const auto detail = readDetail(line.substr(c + 1));
    if (!time || !event || !detail || (!duration.empty() && !seconds)) return std::nullopt;
    ActivityRecord record{fromLocal(*time, offset), *event, std::nullopt, *detail};
    if (!duration.empty()) record.duration = *seconds;
    return record;
}

std::string activityFileName(year_month_day day) {
    return "relaydeck-activity-" + dayText(day) + ".csv";
}

std::optional<year_month_day> activityFileDay(std::string_view name) {
    constexpr std::string_view prefix = "relaydeck-activity-";
    constexpr std::string_view suffix = ".csv";
    if (name.size() != prefix.size() + 10 + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix)) {
        return std::nullopt;
    }
    const std::string_view date = name.substr(prefix.size(), 10);
    const auto y = digits(date, 0, 4), m = digits(date, 5, 2), d = digits(date, 8, 2);
    if (date[4] != '-' || date[7] != '-' || !y || !m || !d) return std::nullopt;
    const year_month_day day{year{*y}, month{static_cast<unsigned>(*m)},
                             std::chrono::day{static_cast<unsigned>(*d)}};
    if (!day.ok()) return std::nullopt;
    return day;
}

ActivityFile::ActivityFile(std::filesystem::path folder, UtcOffset offset, int keepDays,
                           StateListener onState)
    : folder_(std::move(folder)),
      offset_(std::move(offset)),
      keepDays_(keepDays < 0 ? 0 : keepDays),
      onState_(std::move(onState)) {}

std::filesystem::path ActivityFile::fileFor(ActivityTime time) const {
    return folder_ / activityFileName(year_month_day{floor<days>(toLocal(time, offset_))});
}

void ActivityFile::record(const ActivityRecord& record) {
    const year_month_day today{floor<days>(toLocal(record.time, offset_))};
    if (cleanedFor_ != today) {
        cleanedFor_ = today;
        removeOldFiles(today);
    }
    const std::filesystem::path file = fileFor(record.time);
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    const bool fresh = error || size == 0;
    bool unterminated = false;
    if (!fresh) {
        std::ifstream in(file, std::ios::binary);
        char last = '\n';
        unterminated = in.seekg(-1, std::ios::end) && in.get(last) && last != '\n';
    }
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (out) {
        if (fresh) out << kActivityCsvHeader << "\r\n";
        if (unterminated) out << "\r\n";
        out << activityCsvLine(record, offset_) << "\r\n";
        out.flush();
    }
    if (out) {
        setFailure(std::nullopt);
    } else {
        const std::u8string name = file.u8string();
        setFailure(designedText(TextId::ActivityLogNotWritten) +
                   std::string(name.begin(), name.end()) + ".");
    }
}

void ActivityFile::removeOldFiles(year_month_day today) const {
    std::error_code error;
    std::filesystem::directory_iterator it(folder_, error);
    if (error) return;
    std::map<sys_days, std::vector<std::filesystem::path>, std::greater<>> byDay;
    for (const auto& entry : it) {
        const std::u8string name = entry.path().filename().u8string();
        const auto day = activityFileDay(
            std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
        if (day) byDay[sys_days{*day}].push_back(entry.path());
    }
    const sys_days newest{today};
    byDay[newest];
    // Walking back from today, each day is judged against the newest day kept. A gap longer
    // than the keeping period (the clock set forward, or the station off for long) counts
    // only the days written since: the days before it age one a day, never all at once.
    // Days after today (the clock set back) are left alone.
    sys_days reference = newest;
    sys_days previous = newest;
    int written = 0;
    for (const auto& [day, paths] : byDay) {
        if (day > newest) continue;
        if (previous - day > days{keepDays_}) reference = day + days{written};
        if (day < reference - days{keepDays_}) {
            for (const auto& path : paths) {
                std::error_code ignored;
                std::filesystem::remove(path, ignored);
            }
        }
        previous = day;
        ++written;
    }
}

void ActivityFile::setFailure(std::optional<std::string> failure) {
    if (failure == failure_) return;
    failure_ = std::move(failure);
    if (onState_) onState_(failure_);
}

std::vector<ActivityRecord> readActivityFile(const std::filesystem::path& file,
                                             const UtcOffset& offset) {
    std::vector<ActivityRecord> records;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (auto record = readActivityCsvLine(line, offset)) records.push_back(std::move(*record));
    }
    return records;
}

}  // namespace relaydeck
