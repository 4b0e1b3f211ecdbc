#pragma once
/// @file
/// @brief A simulated link program: one station that any number of references reach.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "link/LinkHost.h"
#include "link/LinkOperations.h"

namespace relaydeck {

/// @brief One argument or result of a link operation: a Boolean, a number or a text.
using LinkValue = std::variant<LinkBool, std::int32_t, std::string>;

/// @brief A value as the call log writes it: True or False, a decimal number, or a
/// quoted text.
std::string formatLinkValue(const LinkValue& value);

/// @brief One call of an operation, as the station recorded it.
struct LinkCall {
    LinkOperation operation = LinkOperation::SetPTT;
    std::vector<LinkValue> arguments;
    std::optional<LinkValue> result;  ///< what a query answered
    bool query = false;               ///< as kLinkOperations says: GetRX, GetPTT, ...

    /// @brief The operation's name: "SetPTT", "GetRX", ...
    std::string_view name() const { return nameOf(operation); }

    /// @brief The text a SendCW, Speak or SendStationText call passed; nullopt for a
    /// call that passed none.
    std::optional<std::string> text() const;

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

    /// @brief The next call of @p operation (a name of kLinkOperations) fails;
    /// kFailCreation fails the next creation.
    void failNext(const std::string& operation);
    /// @brief The next call answers only after @p duration: its reference's watcher hears
    /// of every whole second waited, then @p meanwhile runs, then the call goes on. No
    /// clock moves: the stall is as long as the watcher is told.
    void stallNextCall(std::chrono::milliseconds duration, std::function<void()> meanwhile = {});

    /// @brief Identifies an observer for removeObserver.
    using ObserverId = std::uint64_t;

    /// @brief Called for every successful operation, queries included.
    ObserverId addCallObserver(std::function<void(const LinkCall&)> observer);
    /// @brief Called whenever carrier, Internet audio, transmitter, aux or callsign change.
    ObserverId addStateObserver(std::function<void()> observer);
    /// @brief Stops calling the observer @p id, at once (also in the middle of a
    /// notification). An unknown id is ignored.
    void removeObserver(ObserverId id);

  private:
    class Reference;
    friend class Reference;
    template <typename Observer>
    struct Registered {
        ObserverId id;
        std::shared_ptr<Observer> observer;
    };
    template <typename Observer, typename... Args>
    static void notify(const std::vector<Registered<Observer>>& observers, Args&... args);

    void checkFailure(std::string_view operation);
    void record(const LinkCall& call);
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
    struct Stall {
        std::chrono::milliseconds duration;
        std::function<void()> meanwhile;
    };
    std::optional<Stall> stall_;
    std::vector<Reference*> references_;
    ObserverId nextObserver_ = 1;
    std::vector<Registered<std::function<void(const LinkCall&)>>> callObservers_;
    std::vector<Registered<std::function<void()>>> stateObservers_;
    std::shared_ptr<bool> alive_;
};

/// @brief The name failNext takes to make the next creation of a reference fail.
inline constexpr std::string_view kFailCreation = "create";

/// @brief Makes references to one SimulatedStation.
class SimulatedLinkHostFactory : public LinkHostFactory {
  public:
    explicit SimulatedLinkHostFactory(SimulatedStation& station) : station_(station) {}
    std::unique_ptr<LinkHost> create() override { return station_.createReference(); }

  private:
    SimulatedStation& station_;
};

}  // namespace relaydeck
