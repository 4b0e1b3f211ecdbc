#include "controller/StationActivity.h"

#include <string>

namespace relaydeck {

StationActivity::StationActivity(const std::filesystem::path& logFolder, const UtcOffset& offset,
                                 TimerService& timers)
    : journal_(offset),
      window_(journal_, timers),
      file_(logFolder, offset, ActivityFile::kDefaultKeepDays,
            [this](const std::string& failure) { window_.reportFailure(failure); }) {
    const std::u8string folder = logFolder.u8string();
    window_.setStatus(std::string(designedText(TextId::ActivityLogFolder)) +
                      std::string(folder.begin(), folder.end()));
    fanOut_.add(journal_);
    fanOut_.add(file_);
}

}  // namespace relaydeck
