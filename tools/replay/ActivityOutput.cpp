#include "ActivityOutput.h"

#include <algorithm>

#include "activity/ActivityCsv.h"
#include "activity/TimelineSvg.h"

namespace relaydeck::replay {

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

ActivityOutput::ActivityOutput(ActivityOptions options) : options_(std::move(options)) {
    if (options_.csv.empty()) return;
    csv_.open(options_.csv, std::ios::binary | std::ios::trunc);
    csv_ << kActivityCsvHeader << "\r\n";
}

void ActivityOutput::record(const ActivityRecord& record) {
    if (csv_.is_open()) csv_ << activityCsvLine(record, {}) << "\r\n";
    if (!options_.svg.empty()) timeline_.record(record);
}

bool ActivityOutput::finish(ActivityTime end, const std::string& scenario, std::ostream& errors) {
    bool ok = true;
    const auto written = [&](const std::string& file, bool fine) {
        if (fine) return;
        errors << "relaydeck-replay: cannot write " << file << '\n';
        ok = false;
    };
    if (!options_.csv.empty()) {
        csv_.close();
        written(options_.csv, !csv_.fail());
    }
    if (!options_.svg.empty()) {
        std::ofstream svg(options_.svg, std::ios::binary | std::ios::trunc);
        svg << timelineSvg(timeline_.finish(std::max(end, ActivityTime{})),
                           "Relaydeck activity: " + scenario);
        svg.close();
        written(options_.svg, !svg.fail());
    }
    return ok;
}

}  // namespace relaydeck::replay
