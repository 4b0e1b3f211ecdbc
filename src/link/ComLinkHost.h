#pragma once
/// @file
/// @brief The link host on Windows: EchoLink's automation object reached through COM.

#include <memory>

#include "link/LinkHost.h"

namespace relaydeck {

/// @brief Creates references to EchoLink's automation object through COM automation.
///
/// The first create() on a thread initialises COM there as a single-threaded apartment
/// (a thread already initialised in either model is accepted as it is). A reference is
/// used on the thread that created it, and its events arrive on that thread while it
/// dispatches window messages. A reference connects to the link program's events when it
/// is first given an event sink (setEventSink throws LinkError when the link program
/// refuses) and stays connected until it is released; setEventSink(nullptr) only stops the
/// forwarding. A LinkEvents handler must not let an exception escape: one that does ends
/// the program.
class ComLinkHostFactory : public LinkHostFactory {
  public:
    /// @brief A new reference; throws LinkError when EchoLink is missing or refuses.
    std::unique_ptr<LinkHost> create() override;
};

}  // namespace relaydeck
