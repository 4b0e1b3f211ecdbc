#include "activity/ActivityCsv.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "controller/OperatorTexts.h"

namespace relaydeck {

namespace {

using namespace std::chrono;

std::string twoDigits(unsigned value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string dayText(year_month_day day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return buffer;
}

/// Quotes a field when a spreadsheet would otherwise split or misread it.
std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

local_time<milliseconds> toLocal(ActivityTime time, const UtcOffset& offset) {
    const seconds shift = offset ? offset(time) : seconds{0};
    return local_time<milliseconds>{time.time_since_epoch() + shift};
}

std::string formatActivityTime(local_time<milliseconds> time) {
    const auto day = floor<days>(time);
    const hh_mm_ss clock{time - day};
    return dayText(year_month_day{day}) + ' ' +
           twoDigits(static_cast<unsigned>(clock.hours().count())) + ':' +
           twoDigits(static_cast<unsigned>(clock.minutes().count())) + ':' +
           twoDigits(static_cast<unsigned>(clock.seconds().count())) + '.' +
           twoDigits(static_cast<unsigned>(clock.subseconds().count() / 10)) +
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
    int parts[3] = {0, 0, 0};
    const std::size_t widths[3] = {4, 2, 2};
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && date[at++] != '-') return std::nullopt;
        for (std::size_t k = 0; k < widths[i]; ++k, ++at) {
            if (date[at] < '0' || date[at] > '9') return std::nullopt;
            parts[i] = parts[i] * 10 + (date[at] - '0');
        }
    }
    const year_month_day day{year{parts[0]}, month{static_cast<unsigned>(parts[1])},
                             std::chrono::day{static_cast<unsigned>(parts[2])}};
    if (!day.ok()) return std::nullopt;
    return day;
}

ActivityFile::ActivityFile(std::filesystem::path folder, UtcOffset offset, int keepDays,
                           std::function<void(const std::string&)> onFailure)
    : folder_(std::move(folder)),
      offset_(std::move(offset)),
      keepDays_(keepDays < 0 ? 0 : keepDays),
      onFailure_(std::move(onFailure)) {}

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
    const bool fresh = !std::filesystem::exists(file, error) ||
                       std::filesystem::file_size(file, error) == 0 || error;
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (out) {
        if (fresh) out << kActivityCsvHeader << "\r\n";
        out << activityCsvLine(record, offset_) << "\r\n";
        out.flush();
    }
    if (!out) {
        const std::u8string name = file.u8string();
        fail(designedText(TextId::ActivityLogNotWritten) + std::string(name.begin(), name.end()) +
             ".");
    }
}

void ActivityFile::removeOldFiles(year_month_day today) const {
    const sys_days oldestKept = sys_days{today} - days{keepDays_};
    std::error_code error;
    std::filesystem::directory_iterator it(folder_, error);
    if (error) return;
    for (const auto& entry : it) {
        const std::u8string name = entry.path().filename().u8string();
        const auto day = activityFileDay(
            std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
        if (day && sys_days{*day} < oldestKept) {
            std::error_code ignored;
            std::filesystem::remove(entry.path(), ignored);
        }
    }
}

void ActivityFile::fail(const std::string& text) {
    if (failure_) return;
    failure_ = text;
    if (onFailure_) onFailure_(text);
}

}  // namespace relaydeck
