#include "link/SimulatedLinkHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace relaydeck {
namespace {

struct Recorder : LinkEvents {
    std::vector<std::string> events;
    void CarrierDetect(LinkBool v) override {
        events.push_back("CarrierDetect " + std::to_string(v));
    }
    void RX(LinkBool v) override { events.push_back("RX " + std::to_string(v)); }
    void PTT(LinkBool v) override { events.push_back("PTT " + std::to_string(v)); }
    void Closing() override { events.push_back("Closing"); }
};

struct SimulatedLink : ::testing::Test {
    std::deque<std::function<void()>> posted;
    SimulatedStation station{[this](std::function<void()> f) { posted.push_back(std::move(f)); }};
    std::vector<std::string> log;
    SimulatedLink() {
        station.addCallObserver([this](const LinkCall& c) { log.push_back(c.toString()); });
    }
    void drain() {
        while (!posted.empty()) {
            auto f = std::move(posted.front());
            posted.pop_front();
            f();
        }
    }
};

TEST_F(SimulatedLink, EventsReachOnlyReferencesWithASinkAndQueriesAnswerTheState) {
    auto main = station.createReference();
    auto other = station.createReference();
    Recorder rec;
    main->setEventSink(&rec);
    station.setCarrier(1);
    station.setRX(kLinkTrue);
    station.raiseClosing();
    EXPECT_EQ(rec.events, (std::vector<std::string>{"CarrierDetect 1", "RX -1", "Closing"}));
    EXPECT_EQ(other->GetCarrier(), kLinkTrue);
    EXPECT_EQ(other->GetRX(), kLinkTrue);
    station.setCarrier(kLinkFalse);
    EXPECT_EQ(main->GetCarrier(), kLinkFalse);
}

TEST_F(SimulatedLink, SetPttRaisesPttAfterTheCallOnlyWhenTheStateChanges) {
    auto main = station.createReference();
    Recorder rec;
    main->setEventSink(&rec);
    main->SetPTT(kLinkTrue);
    EXPECT_TRUE(rec.events.empty());
    drain();
    main->SetPTT(kLinkTrue);
    drain();
    main->SetPTT(kLinkFalse);
    drain();
    EXPECT_EQ(rec.events, (std::vector<std::string>{"PTT -1", "PTT 0"}));
    EXPECT_EQ(main->GetPTT(), kLinkFalse);
}

TEST_F(SimulatedLink, CallsAreFormattedAsTheReplayPrintsThem) {
    auto link = station.createReference();
    station.setCallsign("PY2\"X\\Z");
    link->SetControlMode(kLinkTrue);
    link->SendCW(kLinkFalse, "********OK*");
    link->PlayPrompt(7);
    link->SetAux(kLinkTrue);
    link->Speak("");
    link->SendStationText("a");
    EXPECT_EQ(link->GetStation().StationCallsign, "PY2\"X\\Z");
    EXPECT_EQ(link->GetRX(), kLinkFalse);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "SetControlMode(True)", "SendCW(False, \"********OK*\")", "PlayPrompt(7)",
                       "SetAux(True)", "Speak(\"\")", "SendStationText(\"a\")",
                       "GetStation().StationCallsign = \"PY2\\\"X\\\\Z\"", "GetRX() = False"}));
    EXPECT_TRUE(station.aux());
}

TEST_F(SimulatedLink, AFailureIsRaisedOnceForTheNamedCallOrCreation) {
    station.failNext("create");
    EXPECT_THROW(station.createReference(), LinkError);
    auto link = station.createReference();
    station.failNext("SendCW");
    link->SetPTT(kLinkTrue);
    EXPECT_THROW(link->SendCW(kLinkFalse, "K"), LinkError);
    link->SendCW(kLinkFalse, "K");
    EXPECT_EQ(log, (std::vector<std::string>{"SetPTT(True)", "SendCW(False, \"K\")"}));
}

TEST_F(SimulatedLink, APostedPttEventOutlivingItsStationIsDropped) {
    {
        SimulatedStation shortLived{[this](std::function<void()> f) { posted.push_back(f); }};
        auto link = shortLived.createReference();
        link->SetPTT(kLinkTrue);
    }
    EXPECT_NO_THROW(drain());
}

TEST_F(SimulatedLink, ACallCarriesItsOperationAndArguments) {
    std::vector<LinkCall> calls;
    station.addCallObserver([&calls](const LinkCall& c) { calls.push_back(c); });
    auto link = station.createReference();
    link->SendCW(kLinkFalse, R"(A "b" \c, d)");
    link->Speak("");
    link->PlayPrompt(4);
    link->GetPTT();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].operation, LinkOperation::SendCW);
    EXPECT_EQ(calls[0].arguments, (std::vector<LinkValue>{kLinkFalse, R"(A "b" \c, d)"}));
    EXPECT_EQ(calls[0].text(), R"(A "b" \c, d)");
    EXPECT_EQ(calls[1].text(), "");
    EXPECT_EQ(calls[2].arguments, std::vector<LinkValue>{std::int32_t{4}});
    EXPECT_EQ(calls[2].text(), std::nullopt);
    EXPECT_EQ(calls[3].name(), "GetPTT");
    EXPECT_TRUE(calls[3].query);
    EXPECT_EQ(calls[3].result, LinkValue{kLinkFalse});
    EXPECT_FALSE(calls[0].query);
}

TEST(LinkOperations, NamesLeadToTheirOperations) {
    for (const LinkOperationDefinition& definition : kLinkOperations) {
        EXPECT_EQ(findLinkOperation(definition.name), definition.operation);
        EXPECT_EQ(nameOf(definition.operation), definition.name);
    }
    EXPECT_EQ(findLinkOperation("setptt"), std::nullopt);
    EXPECT_EQ(findLinkOperation(kFailCreation), std::nullopt);
}

TEST_F(SimulatedLink, ARemovedObserverHearsNothingMore) {
    int calls = 0;
    int states = 0;
    const auto callId = station.addCallObserver([&calls](const LinkCall&) { ++calls; });
    const auto stateId = station.addStateObserver([&states] { ++states; });
    auto link = station.createReference();
    link->SetAux(kLinkTrue);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(states, 1);
    station.removeObserver(callId);
    station.removeObserver(stateId);
    station.removeObserver(stateId);  // twice is harmless
    link->SetAux(kLinkFalse);
    station.setCarrier(kLinkTrue);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(states, 1);
    EXPECT_EQ(log.size(), 2u);  // the fixture's own observer still hears
}

TEST_F(SimulatedLink, AnObserverRemovedDuringANotificationIsNotCalledAfterIt) {
    std::vector<std::string> heard;
    SimulatedStation::ObserverId second = 0;
    station.addStateObserver([&] {
        heard.push_back("first");
        station.removeObserver(second);
    });
    second = station.addStateObserver([&] { heard.push_back("second"); });
    station.setCarrier(kLinkTrue);
    station.setCarrier(kLinkFalse);
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "first"}));
}

}  // namespace
}  // namespace relaydeck
