#pragma once
/// @file
/// @brief The repeater's transmitter as this controller keys it.

#include <optional>

#include "records/ActivityRecord.h"

namespace relaydeck {

class ActivityNotes;
class LinkWatch;
class RepeaterSwitch;
struct MainContext;

/// @brief Keys and unkeys the transmitter through the link host, and remembers whether
/// this controller keyed it and since when.
class Transmitter {
  public:
    Transmitter(MainContext& context, ActivityNotes& notes, const LinkWatch& linkWatch,
                const RepeaterSwitch& repeaterSwitch)
        : context_(context),
          notes_(notes),
          linkWatch_(linkWatch),
          repeaterSwitch_(repeaterSwitch) {}

    /// @brief True when this controller keyed the transmitter (or tried to).
    bool keyed() const { return keyed_; }
    /// @brief Keys (nothing while the repeater is off) or unkeys the transmitter.
    void set(bool on);
    /// @brief Unkeys the transmitter when this controller keyed it; one try, a failure of
    /// it is ignored. A link program that does not answer is not asked: that is noted.
    void release() noexcept;

  private:
    MainContext& context_;
    ActivityNotes& notes_;
    const LinkWatch& linkWatch_;
    const RepeaterSwitch& repeaterSwitch_;
    bool keyed_ = false;
    std::optional<ActivityTime> keyedSince_;
};

}  // namespace relaydeck
