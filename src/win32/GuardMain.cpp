// relaydeck-guard.exe: runs relaydeck.exe for a station left alone and watches it.
//
//   relaydeck-guard.exe              waits for the link program, then starts Relaydeck
//   relaydeck-guard.exe --start-now  starts Relaydeck at once (an operator started it)
//
// While Relaydeck runs, the guard only waits on its process handle. Settings and activity
// files are those of relaydeck.exe beside it.

#include <windows.h>
// After windows.h, which they build on.
#include <objbase.h>
#include <oleauto.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "activity/ActivityCsv.h"
#include "controller/ExitStatus.h"
#include "controller/LanguageSetting.h"
#include "guard/Guard.h"
#include "link/LinkHost.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsStore.h"
#include "win32/ActivityView.h"
#include "win32/ProgramFolder.h"
#include "win32/Text.h"

namespace {

using namespace relaydeck;
using win32::programFolder;
using namespace std::chrono;

constexpr CLSID kLinkClsid = {
    0xD1FB3C9A, 0xBB2D, 0x446A, {0xA7, 0x4A, 0xE7, 0x71, 0xF1, 0x34, 0xED, 0x56}};
constexpr const wchar_t* kLinkServerKey =
    L"CLSID\\{D1FB3C9A-BB2D-446A-A74A-E771F134ED56}\\LocalServer32";
/// How often the guard looks for the link program while it does not run: each look costs
/// about 2 ms of processor under Wine, so every 5 s keeps the wait under 0.05 % of a core.
constexpr DWORD kLinkLookMs = 5000;
/// How long a link program that has just appeared is given to offer its object: reached
/// earlier, COM would start a second one.
constexpr DWORD kLinkSettleMs = 5000;

std::string windowsErrorText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text != nullptr ? text : L"";
    if (text != nullptr) LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
        message.pop_back();
    }
    return (message.empty() ? "error " + std::to_string(code) : win32::narrow(message)) + ".";
}

std::string hexText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

class WindowsGuardSystem final : public GuardSystem {
  public:
    WindowsGuardSystem(std::filesystem::path programFolder, std::filesystem::path settingsFolder)
        : controller_(programFolder / L"relaydeck.exe"),
          settingsFolder_(settingsFolder),
          relaydeckSettings_(settingsFolder, "RELAYDECK"),
          activity_(settingsFolder, win32::win32UtcOffset) {}

    std::optional<unsigned long> runController(std::string& why) override {
        std::wstring command = L"\"" + controller_.wstring() + L"\" --guarded";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(controller_.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, controller_.parent_path().c_str(), &startup, &process)) {
            why = win32::narrow(controller_.wstring()) + ": " + windowsErrorText(GetLastError());
            return std::nullopt;
        }
        CloseHandle(process.hThread);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        return status;
    }

    bool linkProgramRunning() override { return !linkProcesses().empty(); }

    void waitForLinkProgramToEnd() override {
        for (;;) {
            const std::vector<DWORD> ids = linkProcesses();
            if (ids.empty()) return;
            const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ids.front());
            if (process != nullptr) {
                WaitForSingleObject(process, INFINITE);
                CloseHandle(process);
            } else {
                Sleep(kLinkLookMs);
            }
        }
    }

    void waitForLinkProgram() override {
        while (!linkProgramRunning()) Sleep(kLinkLookMs);
        Sleep(kLinkSettleMs);
    }

    void releaseTransmitter() override {
        // Plain IDispatch and a name looked up now: COM's own marshaller, no type library to
        // load and no interface to ask for while the transmitter may be keyed.
        IDispatch* link = nullptr;
        HRESULT hr =
            CoCreateInstance(kLinkClsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                             IID_IDispatch, reinterpret_cast<void**>(&link));
        if (FAILED(hr)) {
            throw LinkError(operatorText(TextId::GuardLinkUnreachable, language(), {hexText(hr)}));
        }
        DISPID id = 0;
        OLECHAR name[] = L"SetPTT";
        OLECHAR* names[] = {name};
        hr = link->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) {
            VARIANTARG off;
            VariantInit(&off);
            off.vt = VT_BOOL;
            off.boolVal = VARIANT_FALSE;
            DISPPARAMS arguments{&off, nullptr, 1, 0};
            hr = link->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &arguments,
                              nullptr, nullptr, nullptr);
        }
        link->Release();
        if (FAILED(hr)) {
            throw LinkError(operatorText(TextId::GuardPttFailed, language(), {hexText(hr)}));
        }
    }

    bool unattendedWanted() override {
        return relaydeckSettings_.ReadSetting("GUARDED", "0") == "1";
    }

    milliseconds now() override { return milliseconds{GetTickCount64()}; }

    void record(ActivityEvent event, const std::string& detail) override {
        const auto wall = time_point_cast<milliseconds>(system_clock::now());
        activity_.record({ActivityTime{wall.time_since_epoch()}, event, std::nullopt, detail});
    }

    void tell(const std::string& text) override {
        MessageBoxW(nullptr, win32::widen(text).c_str(),
                    win32::widen(operatorText(TextId::ProgramName, language())).c_str(),
                    MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
    }

    /// Read each time: the operator may choose another language while the guard runs.
    Language language() override { return readLanguage(settingsFolder_); }

  private:
    /// The processes whose program is the registered link server (none when none is
    /// registered: then nothing can be waited for).
    std::vector<DWORD> linkProcesses() const {
        std::vector<DWORD> ids;
        const std::optional<std::wstring> image = linkImage();
        if (!image) return ids;
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return ids;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            if (lstrcmpiW(entry.szExeFile, image->c_str()) == 0) {
                ids.push_back(entry.th32ProcessID);
            }
        }
        CloseHandle(snapshot);
        return ids;
    }

    /// Read each time: the link program may be installed or moved while the guard runs.
    static std::optional<std::wstring> linkImage() {
        wchar_t value[2048];
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CLASSES_ROOT, kLinkServerKey, nullptr,
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                         &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        const std::wstring name = imageNameOfCommandLine(value);
        if (name.empty()) return std::nullopt;
        return name;
    }

    std::filesystem::path controller_;
    std::filesystem::path settingsFolder_;
    SettingsStore relaydeckSettings_;
    ActivityFile activity_;
};

int run() {
    const std::wstring line = GetCommandLineW();
    const bool startNow = line.find(L"--start-now") != std::wstring::npos;

    const std::filesystem::path folder = programFolder();
    const std::filesystem::path settingsFolder = settingsFolderFor(folder);
    WindowsGuardSystem system(folder, settingsFolder);

    // One guard for one installation: a second start (autostart and a shortcut) leaves.
    std::wstring folderName = settingsFolder.wstring();
    for (wchar_t& c : folderName) {
        if (c == L'\\') c = L'/';
    }
    const std::wstring mutexName = L"Local\\RelaydeckGuard-" + folderName;
    const HANDLE single = CreateMutexW(nullptr, TRUE, mutexName.c_str());
    if (single == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return Guard::kEnded;

    int status = Guard::kEnded;
    if (!system.unattendedWanted()) {
        // Unattended running was turned off: Relaydeck runs as started by hand.
        std::wstring command = L"\"" + (folder / L"relaydeck.exe").wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.c_str(), &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    } else {
        Guard guard(system);
        status = guard.run(startNow);
    }
    ReleaseMutex(single);
    CloseHandle(single);
    return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // COM ready before it is needed: a release then costs only its calls.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = run();
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
