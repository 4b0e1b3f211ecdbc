#include "ActivityOutput.h"

#include "activity/TimelineSvg.h"

namespace relaydeck::replay {

std::string ActivityOutput::csv() const {
    std::string text(kActivityCsvHeader);
    text += "\r\n";
    for (const ActivityRecord& r : records_) text += activityCsvLine(r, {}) + "\r\n";
    return text;
}

std::string ActivityOutput::svg(ActivityTime end, const std::string& scenario) const {
    const ActivityTime start{};
    return timelineSvg(buildTimeline(records_, start, std::max(end, start)),
                       "Relaydeck activity: " + scenario);
}

bool writeTextFile(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

bool takeActivityOptions(std::vector<std::string>& args, ActivityOptions& options) {
    for (std::size_t i = 0; i < args.size();) {
        std::string* target = args[i] == "--activity-csv"   ? &options.csv
                              : args[i] == "--timeline-svg" ? &options.svg
                                                            : nullptr;
        if (!target) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) return false;
        *target = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return true;
}

bool writeActivity(const ActivityOptions& options, const ActivityOutput& output, ActivityTime end,
                   const std::string& scenario, std::ostream& errors) {
    bool ok = true;
    const auto write = [&](const std::string& file, const std::string& text) {
        if (file.empty() || writeTextFile(file, text)) return;
        errors << "relaydeck-replay: cannot write " << file << '\n';
        ok = false;
    };
    write(options.csv, output.csv());
    write(options.svg, output.svg(end, scenario));
    return ok;
}

}  // namespace relaydeck::replay
