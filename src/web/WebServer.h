#pragma once
/// @file
/// @brief The HTTP server: the station page, its JSON and metrics, the activity pages and
///        control after logging in, on threads of its own beside the controller.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "controller/StateSnapshot.h"
#include "controller/StationControl.h"
#include "web/AccessGuard.h"
#include "web/ConnectionGate.h"
#include "web/WebSettings.h"

namespace relaydeck::web {

class GatedServer;

/// @brief Serves the built-in pages. Reads only the published snapshot; a command is handed
/// to @p command (which must pass it to the controller's thread and return at once).
class WebServer {
  public:
    /// @brief A command from afar, with the address it came from.
    using CommandSink = std::function<void(StationCommand command, const std::string& origin)>;

    struct Limits {
        std::size_t maxHeaders = 40;
        /// @brief Connections, deadlines, workers and sizes.
        ConnectionGate::Limits gate;
    };

    WebServer(const SnapshotBoard& board, CommandSink command,
              std::filesystem::path activityFolder);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    /// @brief Stops a running server, then serves with @p settings (when enabled). Returns
    /// why it cannot, or nullopt. Port 0 takes any free port (see port()).
    std::optional<std::string> start(const WebSettings& settings, Limits limits);
    std::optional<std::string> start(const WebSettings& settings) {
        return start(settings, Limits{});
    }
    /// @brief Stops serving and waits for its threads.
    void stop();
    bool running() const { return thread_.joinable(); }
    /// @brief The port it listens on (0 when stopped).
    int port() const { return port_; }

    /// @brief What the connection gate holds and has ended (all zero when stopped).
    ConnectionGate::Counts connections() const;

    /// @brief Replaces the login rules for the password @p passwordHash (tests use a clock
    /// of their own); a start with another password makes new ones.
    void setGuard(std::unique_ptr<AccessGuard> guard, std::string passwordHash);

  private:
    void route(GatedServer& server);

    const SnapshotBoard& board_;
    CommandSink command_;
    std::filesystem::path activityFolder_;
    std::unique_ptr<GatedServer> server_;
    std::unique_ptr<ConnectionGate> gate_;
    std::shared_ptr<AccessGuard> guard_;
    std::string guardHash_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace relaydeck::web
