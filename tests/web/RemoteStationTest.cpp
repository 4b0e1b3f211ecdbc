#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "controller/OperatorInterface.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "web/PasswordHash.h"
#include "web/RemoteStation.h"

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
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace relaydeck::web
