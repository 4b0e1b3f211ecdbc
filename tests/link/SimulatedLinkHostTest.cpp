#include "link/SimulatedLinkHost.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
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

}  // namespace
}  // namespace relaydeck
