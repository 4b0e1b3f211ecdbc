#pragma once
/// @file
/// @brief The link host on Windows: EchoLink's automation object reached through COM.

#include <memory>

#include "link/LinkHost.h"

namespace relaydeck {

class LinkCallRunner;

/// @brief Where a factory's references make their calls.
enum class LinkCalls {
    OnThisThread,      ///< on the thread that made the reference, events in its message loop
    OnTheirOwnThread,  ///< on a link thread of their own; the reference's thread only waits
};

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
///
/// With LinkCalls::OnTheirOwnThread every call (creation and release included) runs in
/// order on one thread of the multithreaded apartment, and events are posted to the
/// thread that made the reference. While a call waits longer than a second that thread
/// still paints and takes the operator's input, tells the reference's LinkWatcher once a
/// second, and holds back timer ticks, posted tasks and events until the call's end; a
/// WM_QUIT meanwhile gives the call up (LinkError) and is posted again.
class ComLinkHostFactory : public LinkHostFactory {
  public:
    explicit ComLinkHostFactory(LinkCalls calls = LinkCalls::OnThisThread);
    ~ComLinkHostFactory() override;
    ComLinkHostFactory(const ComLinkHostFactory&) = delete;
    ComLinkHostFactory& operator=(const ComLinkHostFactory&) = delete;

    /// @brief A new reference; throws LinkError when EchoLink is missing or refuses.
    std::unique_ptr<LinkHost> create() override;

  private:
    LinkCalls calls_;
    std::shared_ptr<LinkCallRunner> runner_;
};

}  // namespace relaydeck
