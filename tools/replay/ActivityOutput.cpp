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

}  // namespace relaydeck::replay
