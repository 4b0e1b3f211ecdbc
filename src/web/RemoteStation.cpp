#include "web/RemoteStation.h"

#include "web/PasswordHash.h"

namespace relaydeck::web {

namespace {
constexpr const char* kFromWindow = "the window";
}

RemoteStation::RemoteStation(Program& program, const std::filesystem::path& settingsFolder,
                             ActivitySink& activity, const TimerService& timers, Post post)
    : program_(program),
      options_(settingsFolder, "RELAYDECK"),
      publisher_(program, counting_, board_, timers),
      control_(program, options_, fanOut_, timers),
      server_(
          board_,
          [post = std::move(post), this](StationCommand command, const std::string& origin) {
              post([this, command, origin] { control_.perform(command, origin); });
          },
          settingsFolder) {
    fanOut_.add(activity);
    fanOut_.add(counting_);
    observing_ = program.addObserver(control_);
    program.setAfterHandler([this] { publisher_.publish(); });
}

RemoteStation::~RemoteStation() {
    server_.stop();
    program_.setAfterHandler({});
}

std::optional<std::string> RemoteStation::startFromSettings() {
    const WebSettings s = settings();
    // The pages and the server's answers speak the windows' language from the first request.
    publisher_.publish();
    auto why = server_.start(s);
    address_ = server_.running() ? s.address + ":" + std::to_string(server_.port()) : "";
    return why;
}

std::optional<std::string> RemoteStation::apply(WebSettings s, const std::string& newPassword,
                                                bool clearPassword) {
    if (clearPassword) s.passwordHash.clear();
    if (!newPassword.empty()) s.passwordHash = makePasswordHash(newPassword);
    if (auto why = refusal(s, program_.texts().language()); why && s.enabled) return why;
    saveWebSettings(options_, s);
    control_.noteSettingsSaved("web server", kFromWindow);
    return startFromSettings();
}

void RemoteStation::toggleRepeater() {
    control_.perform(repeaterOff() ? StationCommand::RepeaterOn : StationCommand::RepeaterOff,
                     kFromWindow);
}

bool RemoteStation::repeaterOff() {
    MainModel* main = program_.main();
    return main != nullptr && main->repeaterOff();
}

std::string RemoteStation::serving() const {
    return address_;
}

}  // namespace relaydeck::web
