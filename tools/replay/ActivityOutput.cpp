#include "ActivityOutput.h"

#include <sstream>

#include "activity/TimelineSvg.h"

namespace relaydeck::replay {

std::string ActivityOutput::csv() const {
    std::ostringstream text;
    writeCsv(text);
    return std::move(text).str();
}

void ActivityOutput::writeCsv(std::ostream& out) const {
    out << kActivityCsvHeader << "\r\n";
    for (const ActivityRecord& r : records_) out << activityCsvLine(r, {}) << "\r\n";
}

std::string ActivityOutput::svg(ActivityTime end, const std::string& scenario) const {
    const ActivityTime start{};
    return timelineSvg(buildTimeline(records_, start, std::max(end, start)),
                       "Relaydeck activity: " + scenario);
}

namespace {

template <typename Write>
bool writeFile(const std::filesystem::path& file, const Write& write) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    write(out);
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace

bool writeTextFile(const std::filesystem::path& file, const std::string& text) {
    return writeFile(file, [&](std::ostream& out) { out << text; });
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
    const auto written = [&](const std::string& file, bool fine) {
        if (fine) return;
        errors << "relaydeck-replay: cannot write " << file << '\n';
        ok = false;
    };
    if (!options.csv.empty()) {
        written(options.csv,
                writeFile(options.csv, [&](std::ostream& out) { output.writeCsv(out); }));
    }
    if (!options.svg.empty()) {
        written(options.svg, writeTextFile(options.svg, output.svg(end, scenario)));
    }
    return ok;
}

}  // namespace relaydeck::replay
