#include "activity/StationActivity.h"

#include <string>

#include "controller/IntervalTimer.h"
#include "controller/OperatorTexts.h"

namespace relaydeck {

StationActivity::StationActivity(const std::filesystem::path& logFolder, const UtcOffset& offset,
                                 TimerService& timers)
    : journal_(offset),
      window_(journal_, timers),
      file_(logFolder, offset, timers,
            [this](const std::optional<std::string>& failure) { window_.setWriteFailure(failure); }) {
    const std::u8string folder = logFolder.u8string();
    window_.setStatus(std::string(designedText(TextId::ActivityLogFolder)) +
                      std::string(folder.begin(), folder.end()));
    for (const ActivityRecord& r : readActivityFile(file_.fileFor(timers.wallTime()), offset)) {
        journal_.record(r);
    }
    fanOut_.add(journal_);
    fanOut_.add(file_);
}

}  // namespace relaydeck
