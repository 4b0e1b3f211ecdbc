// The Windows program's web pieces under Wine: the password hash through Windows' CNG, and
// the web server's settings dialog driven as an operator would.
// Prints "N passed, M failed"; exits 1 when a check failed.

#include <winsock2.h>
// Before windows.h.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "controller/OperatorInterface.h"
#include "controller/VirtualClock.h"
#include "link/SimulatedLinkHost.h"
#include "web/PasswordHash.h"
#include "web/RemoteStation.h"
#include "win32/TaskPoster.h"
#include "win32/Text.h"
#include "win32/WebSettingsView.h"

using namespace relaydeck;
using namespace relaydeck::win32;

namespace {

int failed = 0;
#define CHECK(cond) \
    ((cond) ? void() : (++failed, void(std::printf("  FAILED %d: %s\n", __LINE__, #cond))))

struct NoBoxes : OperatorInterface {
    MessageAnswer showMessage(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
    void showAbout(AboutModel&) override {}
};
struct NoRecords : ActivitySink {
    void record(const ActivityRecord&) override {}
};

std::string itemText(HWND dialog, int id) {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(dialog, id, buffer, 512);
    return narrow(buffer);
}

/// Fills the open dialog, presses OK and reports what it then shows.
std::string pressOk(const std::wstring& address, const std::wstring& port,
                    const wchar_t* password) {
    const HWND dialog = FindWindowW(L"#32770", widen(designedText(TextId::WebDialogTitle)).c_str());
    if (dialog == nullptr) return "no dialog";
    CheckDlgButton(dialog, 101, BST_CHECKED);
    SetDlgItemTextW(dialog, 102, address.c_str());
    SetDlgItemTextW(dialog, 103, port.c_str());
    SetDlgItemTextW(dialog, 104, password);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const std::string shown = itemText(dialog, 107);
    if (itemText(dialog, 104) != "") return "password left in the field";
    return shown;
}

/// The captions of the open @p dialog that do not fit their control, as "id;" each: a label
/// or a check box on its one line, the hint and the message within their lines.
std::string clippedCaptions(HWND dialog) {
    std::string found;
    const HDC dc = GetDC(dialog);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (const int id : {101, 105, 106, 107, 108, 109, 110, IDCANCEL}) {
        const HWND item = GetDlgItem(dialog, id);
        RECT room{};
        GetClientRect(item, &room);
        const std::wstring text = widen(itemText(dialog, id));
        const bool wrapped = id == 106 || id == 107;
        // A check box's own square and the gap after it; a button's edges.
        const int taken = id == 101 || id == 105 ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                          : id == IDCANCEL       ? 6
                                                 : 0;
        RECT need{0, 0, room.right - taken, 0};
        DrawTextW(dc, text.c_str(), -1, &need,
                  DT_CALCRECT | (wrapped ? DT_WORDBREAK : DT_SINGLELINE));
        if (need.right > room.right - taken || need.bottom > room.bottom) {
            found += std::to_string(id) + ";";
        }
    }
    ReleaseDC(dialog, dc);
    return found;
}

/// A port nobody listens on now.
std::wstring freePort() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at);
    int length = sizeof at;
    getsockname(s, reinterpret_cast<sockaddr*>(&at), &length);
    closesocket(s);
    return std::to_wstring(ntohs(at.sin_port));
}

}  // namespace

int main() {
    // PBKDF2-HMAC-SHA256("password", "salt", 1 iteration): the published test vector, so
    // that a hash made on Linux is taken on Windows and the other way round.
    CHECK(web::checkPassword("password",
                             "pbkdf2-sha256$1$73616c74$"
                             "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"));
    const std::string made = web::makePasswordHash("estação", 1000);
    CHECK(web::checkPassword("estação", made));
    CHECK(!web::checkPassword("estacao", made));
    CHECK(made != web::makePasswordHash("estação", 1000));  // salted

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto folder =
        std::filesystem::path(temp) / ("relaydeck-web-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    {
        TaskPoster poster;
        VirtualClock clock;
        SimulatedStation station([&poster](std::function<void()> t) { poster.post(std::move(t)); });
        SimulatedLinkHostFactory links(station);
        const SettingsStore settings(folder);
        NoBoxes op;
        Program program(links, clock, settings, op);
        NoRecords log;
        web::RemoteStation remote(program, folder, log, clock, [&poster](std::function<void()> t) {
            poster.post(std::move(t));
        });

        // An open address without a password, then a bad port: refused, the dialog stays
        // open with the reason and nothing is stored; then 127.0.0.1 on a free port is taken.
        std::string open, badPort;
        const std::wstring port = freePort();
        poster.post([&] {
            open = pressOk(L"0.0.0.0", port, L"");
            badPort = pressOk(L"127.0.0.1", L"0", L"");
            pressOk(L" 127.0.0.1 ", port, L"secret");
            // Taken: the dialog ends. Were it refused, this closes it.
            poster.post([] {
                const HWND dialog =
                    FindWindowW(L"#32770", widen(designedText(TextId::WebDialogTitle)).c_str());
                if (dialog != nullptr) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        });
        showWebSettings(nullptr, remote);
        CHECK(open == designedText(TextId::WebRefusedNoPassword));
        CHECK(badPort == designedText(TextId::WebRefusedPort));
        const web::WebSettings s = remote.settings();
        CHECK(s.enabled && s.address == "127.0.0.1");
        CHECK(web::checkPassword("secret", s.passwordHash));
        CHECK(remote.serving() == "127.0.0.1:" + narrow(port));

        // In Portuguese, with the longest refusal in it, every caption fits.
        program.chooseLanguage(Language::Portuguese);
        std::string clipped = "no dialog";
        poster.post([&] {
            const HWND dialog = FindWindowW(
                L"#32770",
                widen(operatorText(TextId::WebDialogTitle, Language::Portuguese)).c_str());
            if (dialog == nullptr) return;
            SetDlgItemTextW(
                dialog, 107,
                widen(operatorText(TextId::WebRefusedNoPassword, Language::Portuguese)).c_str());
            clipped = clippedCaptions(dialog);
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        showWebSettings(nullptr, remote);
        CHECK(clipped.empty());
        if (!clipped.empty()) std::printf("  clipped: %s\n", clipped.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::printf("%s\n", failed == 0 ? "web views: passed" : "web views: FAILED");
    return failed == 0 ? 0 : 1;
}
