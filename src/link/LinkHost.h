#pragma once
/// @file
/// @brief The boundary to the link program's automation object: four events in,
///        eleven operations out.

#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace relaydeck {

/// @brief A 16-bit Boolean as the link program exchanges it: True is -1, False is 0.
using LinkBool = std::int16_t;
inline constexpr LinkBool kLinkTrue = -1;
inline constexpr LinkBool kLinkFalse = 0;

/// @brief Converts a C++ bool to the link program's 16-bit Boolean.
constexpr LinkBool toLinkBool(bool b) {
    return b ? kLinkTrue : kLinkFalse;
}

/// @brief Any failure of the link host: it could not be created or a call failed.
class LinkError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// @brief What GetStation returns: the station the link program runs for.
struct StationInfo {
    std::string StationCallsign;  ///< the own station's callsign (UTF-8)
};

/// @brief Receiver of the link host's events. Only the main window's reference has one.
class LinkEvents {
  public:
    virtual ~LinkEvents() = default;
    virtual void CarrierDetect(LinkBool bCD) = 0;
    virtual void RX(LinkBool bRX) = 0;
    virtual void PTT(LinkBool bPTT) = 0;
    virtual void Closing() = 0;
};

/// @brief Told when the link program is slow to answer a call, and when it answers again.
class LinkWatcher {
  public:
    virtual ~LinkWatcher() = default;
    /// @brief A call has waited @p waited for an answer; told again about once a second.
    virtual void linkNotAnswering(std::chrono::milliseconds waited) = 0;
    /// @brief The link program answered again, after @p waited without answering.
    virtual void linkAnswering(std::chrono::milliseconds waited) = 0;
};

/// @brief One reference to the link program's automation object.
///
/// Every operation throws LinkError when the call fails. Texts are UTF-8.
class LinkHost {
  public:
    virtual ~LinkHost() = default;

    /// @brief Routes this reference's events to @p sink (nullptr: no events).
    virtual void setEventSink(LinkEvents* sink) = 0;
    /// @brief Who hears of calls the link program is slow to answer (nullptr: nobody).
    virtual void setWatcher(LinkWatcher* /*watcher*/) {}
    /// @brief What the link program lacks that Relaydeck can do without, one text each.
    virtual std::vector<std::string> missingMembers() const { return {}; }

    virtual void SetPTT(LinkBool on) = 0;
    virtual LinkBool GetRX() = 0;
    virtual LinkBool GetPTT() = 0;
    virtual LinkBool GetCarrier() = 0;
    virtual void SendCW(LinkBool flag, const std::string& text) = 0;
    virtual StationInfo GetStation() = 0;
    virtual void SetAux(LinkBool on) = 0;
    virtual void SendStationText(const std::string& text) = 0;
    virtual void SetControlMode(LinkBool on) = 0;
    virtual void Speak(const std::string& text) = 0;
    virtual void PlayPrompt(std::int32_t number) = 0;
};

/// @brief Creates new references to the link program (each window takes its own).
class LinkHostFactory {
  public:
    virtual ~LinkHostFactory() = default;
    /// @brief A new reference; throws LinkError when the object cannot be created.
    virtual std::unique_ptr<LinkHost> create() = 0;
};

}  // namespace relaydeck
