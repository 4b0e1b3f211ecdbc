#include <gtest/gtest.h>

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <thread>

#include "web/AccessGuard.h"
#include "web/PasswordHash.h"
#include "web/WebServer.h"

namespace relaydeck::web {
namespace {

using namespace std::chrono_literals;

// A hash made with few iterations: the same rules, a quicker test.
const std::string kHash = makePasswordHash("right horse", 1000);

class FakeClock {
  public:
    std::chrono::steady_clock::time_point now{};
};

class WebServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "relaydeck-activity-2026-12-07.csv")
            << "time,event,duration,detail\n"
               "2026-12-07 10:00:00.000,local-over-begun,,\n"
               "2026-12-07 10:00:00.000,transmitter-on,,\n"
               "2026-12-07 10:00:30.000,local-over-ended,30.000,\n"
               "2026-12-07 10:00:35.000,transmitter-off,35.000,\n";
        StateSnapshot s;
        s.running = true;
        s.callsign = "PU2RLY";
        s.status = "Receiving \"now\"";
        s.txLamp = true;
        s.counters.localOvers = 3;
        s.counters.identifications[1] = 2;
        board.publish(s);
        server.setGuard(std::make_unique<AccessGuard>(
                            kHash, [this] { return clock.now; }, AccessGuard::Limits{}),
                        kHash);
        WebSettings settings{true, "127.0.0.1", 0, kHash};
        WebServer::Limits limits;
        limits.gate.silence = 1s;
        ASSERT_EQ(server.start(settings, limits), std::nullopt);
    }
    void TearDown() override {
        server.stop();
        std::filesystem::remove_all(folder);
    }
    /// Starts the server again on a free port with @p limits.
    void restartWith(const WebServer::Limits& limits) {
        server.stop();
        ASSERT_EQ(server.start({true, "127.0.0.1", 0, kHash}, limits), std::nullopt);
    }
    httplib::Client client() { return httplib::Client("127.0.0.1", server.port()); }
    /// Logs in and returns the cookie and the CSRF token.
    std::pair<std::string, std::string> logIn() {
        auto c = client();
        auto res = c.Post("/login", "password=right+horse", "application/x-www-form-urlencoded");
        EXPECT_EQ(res->status, 200);
        const std::string set = res->get_header_value("Set-Cookie");
        EXPECT_NE(set.find("HttpOnly"), std::string::npos);
        EXPECT_NE(set.find("SameSite=Strict"), std::string::npos);
        const std::string cookie = set.substr(0, set.find(';'));
        auto session = c.Get("/api/session", {{"Cookie", cookie}});
        const std::string body = session->body;
        const auto at = body.find("\"csrf\":\"") + 8;
        return {cookie, body.substr(at, body.find('"', at) - at)};
    }

    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("relaydeck-web-" + std::to_string(std::random_device{}()));
    FakeClock clock;
    SnapshotBoard board;
    std::mutex mutex;
    std::vector<std::string> commands;
    WebServer server{board,
                     [this](StationCommand c, const std::string& origin) {
                         const std::lock_guard lock(mutex);
                         commands.push_back(std::string(stationCommandName(c)) + "@" + origin);
                     },
                     folder};
};

TEST_F(WebServerTest, ServesTheBuiltInPagesAndNothingElse) {
    auto c = client();
    auto status = c.Get("/api/status");
    ASSERT_TRUE(status);
    EXPECT_NE(status->body.find("\"callsign\":\"PU2RLY\""), std::string::npos);
    EXPECT_NE(status->body.find("\"status\":\"Receiving \\\"now\\\"\""), std::string::npos);
    EXPECT_NE(status->body.find("\"tx\":true"), std::string::npos);
    auto metrics = c.Get("/metrics");
    EXPECT_NE(metrics->body.find("relaydeck_overs_total{source=\"local\"} 3\n"), std::string::npos);
    EXPECT_NE(metrics->body.find("relaydeck_identifications_total{kind=\"speech\"} 2\n"),
              std::string::npos);
    EXPECT_NE(metrics->body.find("relaydeck_transmitter_on 1\n"), std::string::npos);
    auto page = c.Get("/");
    EXPECT_NE(page->body.find("id=\"lamp-tx\""), std::string::npos);
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"),
              std::string::npos);
    auto activity = c.Get("/activity?day=2026-12-07");
    EXPECT_EQ(activity->status, 200);
    EXPECT_NE(activity->body.find("<tr><th>Local overs</th><td>1</td></tr>"), std::string::npos);
    EXPECT_NE(activity->body.find("<tr><th>Transmitter time</th><td>0:35</td></tr>"),
              std::string::npos);
    EXPECT_EQ(c.Get("/activity.svg?day=2026-12-07")->get_header_value("Content-Type"),
              "image/svg+xml");
    EXPECT_NE(c.Get("/activity.csv")->body.find("local-over-ended,30.000"), std::string::npos);
    EXPECT_EQ(c.Get("/activity?day=2026-12-08")->status, 404);
    for (const char* path : {"/relaydeck.ini", "/../relaydeck.ini", "/activity.csv?day=../x",
                             "/app.js/../../etc/passwd"}) {
        auto res = c.Get(path);
        EXPECT_TRUE(res->status == 404 || res->status == 400) << path;
        EXPECT_EQ(res->body.find("[SETTINGS]"), std::string::npos) << path;
    }
    EXPECT_NE(c.Put("/api/status", "x", "text/plain")->status, 200);
}

TEST_F(WebServerTest, ThePagesAndAnswersSpeakTheWindowsLanguage) {
    auto c = client();
    const auto has = [](const httplib::Result& res, const std::string& text) {
        return res->body.find(text) != std::string::npos;
    };
    // As designed: the pages' English, the status as the window holds it.
    EXPECT_TRUE(has(c.Get("/"), "<html lang=\"en\">"));
    EXPECT_TRUE(has(c.Get("/"), ">Log in</button>"));
    EXPECT_TRUE(has(c.Get("/app.js"), "\"notRunning\":\"Not running\""));
    EXPECT_TRUE(has(c.Get("/api/status"), "\"language\":\"as-designed\""));

    StateSnapshot s = board.latest();
    s.status = "Receiving...";
    s.language = Language::Portuguese;
    board.publish(s);
    const auto page = c.Get("/");
    EXPECT_TRUE(has(page, "<html lang=\"pt-BR\">"));
    EXPECT_TRUE(has(page, ">Entrar</button>"));
    EXPECT_TRUE(has(page, "placeholder=\"Senha\""));
    EXPECT_FALSE(has(page, "Log in"));
    EXPECT_FALSE(has(page, "{{"));
    const auto script = c.Get("/app.js");
    EXPECT_TRUE(has(script, "\"language\":\"pt-BR\""));
    EXPECT_TRUE(has(script, "\"linkSilent\":\"O EchoLink não responde há {1} s\""));
    // The JSON's keys and the status as held stay as they were; the page shows statusText.
    const auto status = c.Get("/api/status");
    EXPECT_TRUE(has(status, "\"status\":\"Receiving...\",\"statusText\":\"Recebendo...\""));
    const auto activity = c.Get("/activity?day=2026-12-07");
    EXPECT_TRUE(has(activity, "<html lang=\"pt-BR\">"));
    EXPECT_TRUE(has(activity, "<tr><th>Câmbios locais</th><td>1</td></tr>"));
    EXPECT_TRUE(has(c.Get("/activity.svg?day=2026-12-07"), ">Portadora</text>"));
    auto wrong = c.Post("/login", "password=x", "application/x-www-form-urlencoded");
    EXPECT_EQ(wrong->body, "Senha errada.");
    EXPECT_EQ(c.Get("/nothing")->body, "Não encontrado.");
}

TEST_F(WebServerTest, CommandsNeedALoginAndTheSessionsCsrfToken) {
    auto c = client();
    EXPECT_EQ(c.Post("/control/cw-id", "", "text/plain")->status, 403);
    const auto [cookie, csrf] = logIn();
    ASSERT_EQ(csrf.size(), 64u);
    EXPECT_EQ(c.Post("/control/cw-id", {{"Cookie", cookie}}, "", "text/plain")->status, 403);
    // A token one character off (never the real one, whatever its first character).
    const std::string forged = (csrf[0] == '0' ? "1" : "0") + csrf.substr(1);
    EXPECT_EQ(
        c.Post("/control/cw-id", {{"Cookie", cookie}, {"X-CSRF-Token", forged}}, "", "text/plain")
            ->status,
        403);
    EXPECT_EQ(c.Get("/control/cw-id", {{"Cookie", cookie}, {"X-CSRF-Token", csrf}})->status, 404);
    EXPECT_EQ(commands, std::vector<std::string>{});

    EXPECT_EQ(
        c.Post("/control/cw-id", {{"Cookie", cookie}, {"X-CSRF-Token", csrf}}, "", "text/plain")
            ->status,
        200);
    EXPECT_EQ(
        c.Post("/control/rm-rf", {{"Cookie", cookie}, {"X-CSRF-Token", csrf}}, "", "text/plain")
            ->status,
        404);
    EXPECT_EQ(commands, std::vector<std::string>{"cw-id@127.0.0.1"});

    // An idle session expires.
    clock.now += 31min;
    EXPECT_EQ(
        c.Post("/control/cw-id", {{"Cookie", cookie}, {"X-CSRF-Token", csrf}}, "", "text/plain")
            ->status,
        403);
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(WebServerTest, WrongPasswordsLockTheAddressOutForAWhile) {
    auto c = client();
    const auto attempt = [&c](const char* password) {
        return c
            .Post("/login", std::string("password=") + password,
                  "application/x-www-form-urlencoded")
            ->status;
    };
    for (int i = 0; i < 4; ++i) EXPECT_EQ(attempt("wrong"), 401);
    EXPECT_EQ(attempt("wrong"), 429);
    EXPECT_EQ(attempt("right+horse"), 429);  // even the right one, while locked out
    clock.now += 6min;
    EXPECT_EQ(attempt("right+horse"), 200);
}

TEST_F(WebServerTest, OversizedMalformedAndSlowRequestsAreRefusedAndTheServerGoesOn) {
    auto c = client();
    EXPECT_EQ(c.Post("/login", std::string(64 * 1024, 'a'), "text/plain")->status, 413);
    httplib::Headers many;
    for (int i = 0; i < 60; ++i) many.emplace("X-Pad-" + std::to_string(i), "1");
    EXPECT_EQ(c.Get("/api/status", many)->status, 431);

    // A malformed request line, and a client that stops half-way through its headers: the
    // first is answered with an error, the second cut off after the read time-out.
    for (const std::string& bytes : {std::string("BREW /pot HTCPCP\r\n\r\n"),
                                     std::string("GET /api/status HTTP/1.1\r\nHost: x\r\nX-")}) {
        const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(server.port()));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(sock, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
        timeval limit{5, 0};
        ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ASSERT_EQ(::send(sock, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        char answer[64] = {};
        const auto started = std::chrono::steady_clock::now();
        const auto got = ::recv(sock, answer, sizeof answer - 1, 0);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);  // the server ended it
        if (got > 0) {
            EXPECT_EQ(std::string(answer).find(" 200 "), std::string::npos) << answer;
        }
        ::close(sock);
    }
    EXPECT_EQ(c.Get("/api/status")->status, 200);
    EXPECT_EQ(commands, std::vector<std::string>{});
}

/// A raw connection to @p port on 127.0.0.1 that has sent @p bytes.
int openRaw(int port, const std::string& bytes) {
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(sock, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    EXPECT_EQ(::send(sock, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
    return sock;
}

TEST_F(WebServerTest, SlowClientsAreCutOffByTheirDeadlineAndNeverHoldOthersOut) {
    WebServer::Limits limits;
    limits.gate.maxConnections = 4;
    limits.gate.headers = 1500ms;
    limits.gate.silence = 1s;
    ASSERT_NO_FATAL_FAILURE(restartWith(limits));

    // Four clients fill every place, each dripping a header byte every 200 ms: never silent
    // for long, never done.
    std::vector<int> drips;
    for (int i = 0; i < 4; ++i) drips.push_back(openRaw(server.port(), "GET / HTTP/1.1\r\nX-a: "));
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::chrono::steady_clock::duration> cut(drips.size());
    bool served = false;
    const auto allCut = [&cut] {
        return std::ranges::none_of(cut, [](auto t) { return t == decltype(t){}; });
    };
    while (std::chrono::steady_clock::now() - started < 4s && !(served && allCut())) {
        if (!served) {  // a newcomer displaces one of them and is answered at once
            auto c = client();
            c.set_read_timeout(1s);
            auto res = c.Get("/api/status");
            served = res && res->status == 200;
            EXPECT_TRUE(served);
            EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
        }
        for (std::size_t i = 0; i < drips.size(); ++i) {
            if (cut[i] != std::chrono::steady_clock::duration{}) continue;
            char byte = 'a';
            pollfd fd{drips[i], POLLIN, 0};
            if (::poll(&fd, 1, 0) == 1 || ::send(drips[i], &byte, 1, MSG_NOSIGNAL) != 1) {
                cut[i] = std::chrono::steady_clock::now() - started;
            }
        }
        std::this_thread::sleep_for(200ms);
    }
    for (std::size_t i = 0; i < drips.size(); ++i) {
        EXPECT_GT(cut[i], std::chrono::steady_clock::duration{}) << i;
        EXPECT_LT(cut[i], 3s) << i;  // 1.5 s, and a loaded machine's delay
        ::close(drips[i]);
    }
    const ConnectionGate::Counts counts = server.connections();
    EXPECT_EQ(counts.displaced, 1u);
    EXPECT_EQ(counts.timedOut, 3u);
}

/// Everything the server sends on @p sock until it closes the connection (at most 3 s).
std::string readToEnd(int sock) {
    timeval limit{3, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string got;
    char chunk[4096];
    for (ssize_t n; (n = ::recv(sock, chunk, sizeof chunk, 0)) > 0;) {
        got.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(sock);
    return got;
}

std::size_t occurrences(const std::string& text, const std::string& of) {
    std::size_t n = 0;
    for (auto at = text.find(of); at != std::string::npos; at = text.find(of, at + 1)) ++n;
    return n;
}

TEST_F(WebServerTest, KeptConnectionsAreBoundedInCountAndTimeAndAnswerPipelinedRequests) {
    WebServer::Limits limits;
    limits.gate.keepAliveRequests = 3;
    limits.gate.keepAlive = 300ms;
    ASSERT_NO_FATAL_FAILURE(restartWith(limits));
    const std::string get = "GET /api/status HTTP/1.1\r\nHost: x\r\n\r\n";

    // Four requests in one send: three answered in turn, the third closing the connection.
    std::string answers = readToEnd(openRaw(server.port(), get + get + get + get));
    EXPECT_EQ(occurrences(answers, "HTTP/1.1 200 OK"), 3u);
    EXPECT_EQ(occurrences(answers, "Connection: close"), 1u);

    // A kept connection left silent is closed after its wait.
    const auto started = std::chrono::steady_clock::now();
    answers = readToEnd(openRaw(server.port(), get));
    EXPECT_EQ(occurrences(answers, "HTTP/1.1 200 OK"), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);

    // A body without a length is refused; one the client holds back until asked is asked for.
    EXPECT_EQ(readToEnd(openRaw(server.port(),
                                "POST /login HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"))
                  .rfind("HTTP/1.1 411 ", 0),
              0u);
    const int sock = openRaw(server.port(),
                             "POST /login HTTP/1.1\r\nContent-Length: 17\r\nContent-Type: "
                             "application/x-www-form-urlencoded\r\nExpect: 100-continue\r\n\r\n");
    char continued[64] = {};
    ASSERT_GT(::recv(sock, continued, sizeof continued - 1, 0), 0);
    EXPECT_EQ(std::string(continued).rfind("HTTP/1.1 100 Continue", 0), 0u);
    ASSERT_EQ(::send(sock, "password=wrong+12", 17, MSG_NOSIGNAL), 17);
    EXPECT_NE(readToEnd(sock).find("HTTP/1.1 401 "), std::string::npos);
}

TEST_F(WebServerTest, StoppingNeverWaitsForAClientHalfWayThroughItsRequest) {
    const int kept = openRaw(server.port(), "GET /api/status HTTP/1.1\r\n\r\n");
    const int half = openRaw(server.port(), "POST /login HTTP/1.1\r\nContent-Length: 99\r\n\r\n");
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    server.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);  // not the 2 s and 5 s waits
    EXPECT_NE(readToEnd(kept).find("HTTP/1.1 200 OK"), std::string::npos);
    EXPECT_EQ(readToEnd(half), "");  // closed, unanswered
    EXPECT_FALSE(server.running());
}

TEST(WebSettings, AnAddressBeyondThisComputerNeedsAPassword) {
    EXPECT_EQ(refusal({true, "127.0.0.1", 8073, ""}), std::nullopt);
    EXPECT_NE(refusal({true, "0.0.0.0", 8073, ""}), std::nullopt);
    EXPECT_EQ(refusal({true, "0.0.0.0", 8073, kHash}), std::nullopt);
    EXPECT_NE(refusal({true, "127.0.0.1", 70000, ""}), std::nullopt);
    SnapshotBoard board;
    WebServer server(board, {}, {});
    EXPECT_NE(server.start({true, "192.0.2.1", 0, ""}), std::nullopt);
    EXPECT_FALSE(server.running());
}

TEST(PasswordHash, ChecksOnlyTheRightPasswordAgainstAWellFormedHash) {
    EXPECT_TRUE(checkPassword("right horse", kHash));
    EXPECT_FALSE(checkPassword("right horse ", kHash));
    EXPECT_FALSE(checkPassword("", kHash));
    EXPECT_NE(makePasswordHash("right horse", 1000), kHash);  // a fresh salt each time
    EXPECT_FALSE(checkPassword("right horse", kHash.substr(0, kHash.size() - 2)));
    EXPECT_FALSE(checkPassword("right horse", "pbkdf2-sha256$0$00$00"));
    EXPECT_FALSE(checkPassword("right horse", "right horse"));
}

}  // namespace
}  // namespace relaydeck::web
