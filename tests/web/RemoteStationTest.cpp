#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "controller/OperatorInterface.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "web/PasswordHash.h"
#include "web/RemoteStation.h"
#include "web/StatusFormat.h"

namespace relaydeck::web {
namespace {

struct NoBoxes : OperatorInterface {
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    void showAbout(AboutModel&) override {}
};
struct Recorded : ActivitySink {
    void record(const ActivityRecord& r) override { records.push_back(r); }
    std::vector<ActivityRecord> records;
};

TEST(RemoteStation, TheDialogsSaveKeepsOnlyAHashAndRefusesAnOpenAddressWithoutOne) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("relaydeck-remote-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    {
        VirtualClock clock;
        SimulatedStation station([](std::function<void()> task) { task(); });
        SimulatedLinkHostFactory links(station);
        const SettingsStore settings(folder);
        NoBoxes op;
        Program program(links, clock, settings, op);
        Recorded log;
        RemoteStation remote(program, folder, log, clock, [](std::function<void()> t) { t(); });
        const Connection recording = program.setActivity(remote.sink());
        program.showMain();

        WebSettings open = remote.settings();
        open.enabled = true;
        open.address = "0.0.0.0";
        open.port = 0;
        EXPECT_NE(remote.apply(open, "", false), std::nullopt);
        EXPECT_EQ(remote.settings().enabled, false);  // refused: nothing stored
        EXPECT_EQ(remote.serving(), "");

        open.address = "127.0.0.1";
        EXPECT_EQ(remote.apply(open, "station secret", false), std::nullopt);
        EXPECT_TRUE(checkPassword("station secret", remote.settings().passwordHash));
        EXPECT_NE(remote.serving(), "");
        std::ifstream in(settings.SettingsPath(), std::ios::binary);
        const std::string file(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(file.find("station secret"), std::string::npos);
        EXPECT_NE(file.find("[RELAYDECK]"), std::string::npos);
        EXPECT_TRUE(std::any_of(log.records.begin(), log.records.end(), [](auto& r) {
            return r.event == ActivityEvent::SettingsSaved &&
                   r.detail == "web server from the window";
        }));

        // The snapshot follows the controller after its handlers.
        remote.toggleRepeater();
        EXPECT_TRUE(remote.board().latest().repeaterOff);
        EXPECT_TRUE(remote.board().latest().running);

        // The windows' language reaches the pages' snapshot and the dialog's refusals.
        program.main()->click(MainControl::mnuLanguagePortuguese);
        EXPECT_EQ(remote.board().language(), Language::Portuguese);
        open.address.clear();
        EXPECT_EQ(remote.apply(open, "", false), "O endereço está vazio.");
    }
    std::filesystem::remove_all(folder);
}

/// A program with its station from afar, in a folder of its own, on the virtual clock.
struct Afar {
    Afar() { std::filesystem::create_directories(folder); }
    ~Afar() { std::filesystem::remove_all(folder); }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("relaydeck-afar-" + std::to_string(std::random_device{}()));
    VirtualClock clock;
    SimulatedStation station{[](std::function<void()> task) { task(); }};
    SimulatedLinkHostFactory links{station};
    const SettingsStore settings{folder};
    NoBoxes op;
    Program program{links, clock, settings, op};
    Recorded log;
    RemoteStation remote{program, folder, log, clock, [](std::function<void()> t) { t(); }};
    const Connection recording = program.setActivity(remote.sink());
};

TEST(RemoteStation, AStalledLinkIsPublishedWhileTheCallWaitsAndClearedOnceAnswered) {
    Afar a;
    a.program.showMain();
    a.clock.advance(std::chrono::seconds(2), [] {});
    ASSERT_TRUE(a.remote.board().latest().linkAnswering);

    std::vector<StateSnapshot> during;
    a.station.stallNextCall(std::chrono::seconds(4),
                            [&] { during.push_back(a.remote.board().latest()); });
    a.station.setCarrier(kLinkTrue);  // keys the transmitter: that call stalls
    ASSERT_EQ(during.size(), 1u);
    // The carrier's handler has not ended yet: the wait was published from the watch.
    EXPECT_FALSE(during[0].linkAnswering);
    EXPECT_EQ(during[0].linkNotAnsweringFor, std::chrono::seconds(4));
    EXPECT_NE(statusJson(during[0]).find("\"linkAnswering\":false,\"linkNotAnsweringSeconds\":4,"),
              std::string::npos);
    EXPECT_NE(prometheusText(during[0]).find("relaydeck_link_answering 0\n"), std::string::npos);

    const StateSnapshot after = a.remote.board().latest();
    EXPECT_TRUE(after.linkAnswering);
    EXPECT_EQ(after.linkNotAnsweringFor, std::chrono::seconds(0));
    EXPECT_TRUE(after.txLamp);
}

TEST(RemoteStation, TheRestartsAreTheGuardsRestartsInTodaysRecords) {
    Afar a;
    const auto guard = [](std::string detail) {
        return ActivityRecord{{}, ActivityEvent::Guard, {}, std::move(detail)};
    };
    const std::vector<ActivityRecord> today = {
        guard("starting Relaydeck"),
        guard("Relaydeck ended abnormally (exit status 3)"),
        guard("restarting Relaydeck (1 of 5 restarts within the hour)"),
        guard("EchoLink runs again: starting Relaydeck"),
        guard("restarting Relaydeck (2 of 5 restarts within the hour)"),
        {{}, ActivityEvent::Control, {}, "restarting Relaydeck (from afar)"},
    };
    a.remote.countRestarts(today);
    a.program.showMain();
    const StateSnapshot s = a.remote.board().latest();
    EXPECT_EQ(s.counters.restarts, 3u);
    EXPECT_NE(prometheusText(s).find("relaydeck_restarts_total 3\n"), std::string::npos);
}

}  // namespace
}  // namespace relaydeck::web
