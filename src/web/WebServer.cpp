#include "web/WebServer.h"

#include "web/HttpLibrary.h"

#ifndef _WIN32
#include <sys/socket.h>
#endif

#include "activity/ActivityCsv.h"
#include "activity/MarkupText.h"
#include "web/ActivityDay.h"
#include "web/ServerThreads.h"
#include "web/StatusFormat.h"
#include "web/WebTexts.h"

namespace relaydeck::web {

/// @brief The library's server with its connections handed to a ConnectionGate: its
/// listening thread only accepts, the gate gathers each request and a worker answers it.
class GatedServer final : public httplib::Server {
  public:
    void setGate(ConnectionGate* gate) { gate_ = gate; }
    /// @brief Answers one gathered request.
    bool serve(httplib::Stream& stream, bool close, bool& closed) {
        return process_request(stream, close, closed, nullptr);
    }
    /// @brief Lets newcomers queue while the listening thread waits its turn for the processor.
    void widenBacklog(int connections) { ::listen(svr_sock_, connections); }

  private:
    bool process_and_close_socket(socket_t sock) override {
        gate_->admit(static_cast<NativeSocket>(sock));
        return true;
    }
    ConnectionGate* gate_ = nullptr;
};

namespace {

/// Runs each accepted connection's task at once on the listening thread: it only hands the
/// connection to the gate.
class HandOver final : public httplib::TaskQueue {
  public:
    void enqueue(std::function<void()> task) override { task(); }
    void shutdown() override {}
};

constexpr const char* kCookie = "rdsession";
constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kText = "text/plain; charset=utf-8";

void secureHeaders(httplib::Response& res) {
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                   "connect-src 'self'; form-action 'self'; base-uri 'none'; "
                   "frame-ancestors 'none'");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Cache-Control", "no-store");
}

std::string cookieOf(const httplib::Request& req) {
    const std::string header = req.get_header_value("Cookie");
    const std::string key = std::string(kCookie) + "=";
    std::size_t at = 0;
    while (at < header.size()) {
        while (at < header.size() && header[at] == ' ') ++at;
        const std::size_t end = std::min(header.find(';', at), header.size());
        if (header.compare(at, key.size(), key) == 0) {
            return header.substr(at + key.size(), end - at - key.size());
        }
        at = end + 1;
    }
    return {};
}

void fail(httplib::Response& res, int status, std::string_view text) {
    res.status = status;
    res.set_content(std::string(text), kText);
}

/// The server's answer @p id in the language the windows speak now.
void fail(httplib::Response& res, int status, TextId id, const SnapshotBoard& board) {
    fail(res, status, operatorText(id, board.language()));
}

std::optional<std::chrono::year_month_day> askedDay(const httplib::Request& req,
                                                    const std::filesystem::path& folder) {
    if (req.has_param("day")) return parseDay(req.get_param_value("day"));
    const auto days = keptDays(folder);
    if (days.empty()) return std::nullopt;
    return days.front();
}

}  // namespace

WebServer::WebServer(const SnapshotBoard& board, CommandSink command,
                     std::filesystem::path activityFolder)
    : board_(board), command_(std::move(command)), activityFolder_(std::move(activityFolder)) {}

WebServer::~WebServer() {
    stop();
}

void WebServer::setGuard(std::unique_ptr<AccessGuard> guard, std::string passwordHash) {
    guard_ = std::move(guard);
    guardHash_ = std::move(passwordHash);
}

std::optional<std::string> WebServer::start(const WebSettings& settings, Limits limits) {
    stop();
    if (!settings.enabled) return std::nullopt;
    const Language language = board_.language();
    if (auto why = refusal(settings, language)) return why;

    auto server = std::make_unique<GatedServer>();
    server->new_task_queue = [] { return new HandOver; };
    server->set_payload_max_length(limits.gate.maxBody);
    const std::size_t maxHeaders = limits.maxHeaders;
    server->set_pre_routing_handler(
        [maxHeaders, this](const httplib::Request& req, httplib::Response& res) {
            secureHeaders(res);
            if (req.headers.size() > maxHeaders) {
                fail(res, 431, TextId::WebBadRequest, board_);
                return httplib::Server::HandlerResponse::Handled;
            }
            return httplib::Server::HandlerResponse::Unhandled;
        });
    // Sessions outlive a restart of the server with the same password.
    if (!guard_ || guardHash_ != settings.passwordHash) {
        setGuard(std::make_unique<AccessGuard>(settings.passwordHash), settings.passwordHash);
    }
    route(*server);

    const int port =
        settings.port == 0
            ? server->bind_to_any_port(settings.address)
            : (server->bind_to_port(settings.address, settings.port) ? settings.port : -1);
    if (port <= 0) {
        return operatorText(TextId::WebCannotListen, language,
                            {settings.address + ":" + std::to_string(settings.port)});
    }
    server->widenBacklog(static_cast<int>(limits.gate.maxConnections));
    try {
        gate_ = std::make_unique<ConnectionGate>(
            limits.gate,
            [server = server.get()](httplib::Stream& stream, bool close, bool& closed) {
                return server->serve(stream, close, closed);
            });
    } catch (const std::exception&) {
        return operatorText(TextId::WebCannotListen, language,
                            {settings.address + ":" + std::to_string(settings.port)});
    }
    server->setGate(gate_.get());
    port_ = port;
    server_ = std::move(server);
    thread_ = std::thread([server = server_.get()] {
        nameThisThread("rd-web-listen");
        yieldToController();
        server->listen_after_bind();
    });
    // The library's stop() is lost on a server that has not begun to listen.
    for (int i = 0; i < 2000 && !server_->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::nullopt;
}

void WebServer::stop() {
    if (server_) server_->stop();
    if (thread_.joinable()) thread_.join();
    gate_.reset();
    server_.reset();
    port_ = 0;
}

ConnectionGate::Counts WebServer::connections() const {
    return gate_ ? gate_->counts() : ConnectionGate::Counts{};
}

void WebServer::route(GatedServer& server) {
    const SnapshotBoard& board = board_;
    std::shared_ptr<AccessGuard> guard = guard_;

    // The pages speak the windows' language as it is when they are asked for.
    server.Get("/", [&board](const httplib::Request&, httplib::Response& res) {
        res.set_content(stationPage(board.language()), kHtml);
    });
    server.Get("/app.css", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(kPageStyle), "text/css; charset=utf-8");
    });
    server.Get("/app.js", [&board](const httplib::Request&, httplib::Response& res) {
        res.set_content(pageScript(board.language()), "text/javascript; charset=utf-8");
    });
    server.Get("/api/status", [&board](const httplib::Request&, httplib::Response& res) {
        res.set_content(statusJson(*board.current()), "application/json");
    });
    server.Get("/metrics", [&board](const httplib::Request&, httplib::Response& res) {
        res.set_content(prometheusText(*board.current()),
                        "text/plain; version=0.0.4; charset=utf-8");
    });
    server.Get("/api/session", [guard](const httplib::Request& req, httplib::Response& res) {
        const auto csrf = guard->csrfOf(cookieOf(req));
        res.set_content(csrf ? "{\"loggedIn\":true,\"csrf\":" + jsonString(*csrf) + "}"
                             : std::string("{\"loggedIn\":false}"),
                        "application/json");
    });

    const std::filesystem::path folder = activityFolder_;
    server.Get("/activity", [folder, &board](const httplib::Request& req, httplib::Response& res) {
        const Language language = board.language();
        const auto day = askedDay(req, folder);
        const auto text = day ? readDayFile(folder, *day) : std::nullopt;
        std::string html = activityPageHead(language);
        if (!text) {
            res.status = day || req.has_param("day") ? 404 : 200;
            html += "<p>" + escapeMarkup(operatorText(TextId::WebNoSuchDay, language)) + "</p>\n";
        } else {
            html += activityPageBody(keptDays(folder), *day, parseActivityCsv(*text), language);
        }
        res.set_content(html + activityPageFoot(language), kHtml);
    });
    server.Get("/activity.svg",
               [folder, &board](const httplib::Request& req, httplib::Response& res) {
                   const auto day = askedDay(req, folder);
                   const auto text = day ? readDayFile(folder, *day) : std::nullopt;
                   if (!text) return fail(res, 404, TextId::WebNoSuchDay, board);
                   res.set_content(activityDaySvg(*day, parseActivityCsv(*text), board.language()),
                                   "image/svg+xml");
               });
    server.Get("/activity.csv",
               [folder, &board](const httplib::Request& req, httplib::Response& res) {
                   const auto day = askedDay(req, folder);
                   auto text = day ? readDayFile(folder, *day) : std::nullopt;
                   if (!text) return fail(res, 404, TextId::WebNoSuchDay, board);
                   res.set_header("Content-Disposition",
                                  "attachment; filename=\"" + activityFileName(*day) + "\"");
                   res.set_content(std::move(*text), "text/csv; charset=windows-1252");
               });

    server.Post("/login", [guard, &board](const httplib::Request& req, httplib::Response& res) {
        const AccessGuard::Login login =
            guard->login(req.remote_addr, req.get_param_value("password"));
        switch (login.outcome) {
            case AccessGuard::Outcome::LoggedIn:
                res.set_header("Set-Cookie", std::string(kCookie) + "=" + login.session +
                                                 "; Path=/; HttpOnly; SameSite=Strict");
                res.set_content("{\"loggedIn\":true}", "application/json");
                return;
            case AccessGuard::Outcome::WrongPassword:
                return fail(res, 401, TextId::WebWrongPassword, board);
            case AccessGuard::Outcome::LockedOut:
                res.set_header("Retry-After", std::to_string(login.retryAfter.count()));
                return fail(res, 429, TextId::WebLockedOut, board);
            case AccessGuard::Outcome::NoPassword:
                return fail(res, 403, TextId::WebNoPassword, board);
        }
    });
    server.Post("/logout", [guard, &board](const httplib::Request& req, httplib::Response& res) {
        const std::string session = cookieOf(req);
        if (!guard->allows(session, req.get_header_value("X-CSRF-Token"))) {
            return fail(res, 403, TextId::WebNotAllowed, board);
        }
        guard->logout(session);
        res.set_header("Set-Cookie",
                       std::string(kCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
        res.set_content("{\"loggedIn\":false}", "application/json");
    });
    CommandSink command = command_;
    server.Post(R"(/control/([a-z-]+))",
                [guard, command, &board](const httplib::Request& req, httplib::Response& res) {
                    if (!guard->allows(cookieOf(req), req.get_header_value("X-CSRF-Token"))) {
                        return fail(res, 403, TextId::WebNotAllowed, board);
                    }
                    const auto which = findStationCommand(req.matches[1].str());
                    if (!which) return fail(res, 404, TextId::WebUnknownCommand, board);
                    command(*which, req.remote_addr);
                    res.set_content("{\"sent\":true}", "application/json");
                });

    server.set_error_handler([&board](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            fail(res, res.status, res.status == 404 ? TextId::WebNotFound : TextId::WebBadRequest,
                 board);
        }
    });
}

}  // namespace relaydeck::web
