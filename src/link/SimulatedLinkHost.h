#pragma once
/// @file
/// @brief A simulated link program: one station that any number of references reach.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/LinkHost.h"

namespace relaydeck {

/// @brief One call of an operation, as the station recorded it.
struct LinkCall {
    std::string operation;              ///< "SetPTT", "GetRX", ...
    std::string arguments;              ///< formatted: True, "K", 7, joined by ", "
    std::optional<std::string> result;  ///< formatted result of a query
    bool query = false;                 ///< GetRX, GetPTT, GetCarrier, GetStation

    /// @brief "SetPTT(True)", "GetRX() = False",
    /// "GetStation().StationCallsign = \"N0CALL\"".
    std::string toString() const;
};

/// @brief Quotes a text for the call log: "..." with \" and \\ escaped.
std::string quoteText(const std::string& text);

/// @brief The simulated link program: receiver, Internet audio, transmitter, aux output
/// and callsign, shared by all references made from it.
///
/// The world side (setCarrier, setRX, raiseClosing) raises the events at once on every
/// reference that has a sink. A SetPTT that changes the transmitter raises PTT through
/// @p post, right after the call returns.
class SimulatedStation {
  public:
    using Post = std::function<void(std::function<void()>)>;

    /// @brief @p post queues a task for the event loop (runs it after the current handler).
    explicit SimulatedStation(Post post);
    ~SimulatedStation();
    SimulatedStation(const SimulatedStation&) = delete;
    SimulatedStation& operator=(const SimulatedStation&) = delete;

    /// @brief A new reference; throws LinkError when told to fail its creation.
    std::unique_ptr<LinkHost> createReference();

    void setCallsign(std::string callsign);
    const std::string& callsign() const { return callsign_; }

    /// @brief The receiver gains or loses a carrier: state becomes bCD != 0, then
    /// CarrierDetect(bCD) is raised.
    void setCarrier(LinkBool bCD);
    /// @brief Internet audio starts or ends: state becomes bRX != 0, then RX(bRX).
    void setRX(LinkBool bRX);
    /// @brief The link program is closing: raises Closing.
    void raiseClosing();

    bool carrier() const { return carrier_; }
    bool rx() const { return rx_; }
    bool ptt() const { return ptt_; }
    bool aux() const { return aux_; }

    /// @brief The next call of @p operation fails; "create" fails the next creation.
    void failNext(const std::string& operation);

    /// @brief Called for every successful operation, queries included.
    void addCallObserver(std::function<void(const LinkCall&)> observer);
    /// @brief Called whenever carrier, Internet audio, transmitter, aux or callsign change.
    void addStateObserver(std::function<void()> observer);

  private:
    class Reference;
    friend class Reference;
    void checkFailure(const std::string& operation);
    void record(LinkCall call);
    void stateChanged();
    template <typename Raise>
    void raise(Raise raiseOn);

    Post post_;
    std::string callsign_ = "N0CALL";
    bool carrier_ = false;
    bool rx_ = false;
    bool ptt_ = false;
    bool aux_ = false;
    std::vector<std::string> failNext_;
    std::vector<Reference*> references_;
    std::vector<std::function<void(const LinkCall&)>> callObservers_;
    std::vector<std::function<void()>> stateObservers_;
    std::shared_ptr<bool> alive_;
};

/// @brief Makes references to one SimulatedStation.
class SimulatedLinkHostFactory : public LinkHostFactory {
  public:
    explicit SimulatedLinkHostFactory(SimulatedStation& station) : station_(station) {}
    std::unique_ptr<LinkHost> create() override { return station_.createReference(); }

  private:
    SimulatedStation& station_;
};

}  // namespace relaydeck
