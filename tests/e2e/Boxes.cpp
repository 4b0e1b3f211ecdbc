// Finds message boxes of other programs in the same Wine session, prints them and answers them.
//
//   boxes.exe list               prints every visible box now: "title<TAB>text", one a line
//   boxes.exe answer SECONDS [ok|yes|no]
//                                waits up to SECONDS for a box, prints it, presses the button
//                                (default OK) on it
//   boxes.exe close TITLE        posts WM_CLOSE to the visible top-level window titled TITLE
//   boxes.exe windows            prints every visible titled top-level window: its title
//   boxes.exe close-prefixed PREFIX
//                                the same for the window whose title begins with PREFIX
//   boxes.exe responds PREFIX    asks the visible top-level window whose title begins with
//                                PREFIX for its title through its own thread (WM_GETTEXT,
//                                1 s at most) and prints it: exit code 1 when it did not answer
//   boxes.exe kill NAME          ends every process whose program file is NAME at once, with
//                                exit code 1, as Task Manager's "End task" does; prints the
//                                moment, in milliseconds since 1970 (UTC)
// Exit code: 0 done, 1 nothing found in time, 2 wrong usage.

#include <windows.h>
// After windows.h, which it builds on.
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, nullptr);
    return text;
}

/// Line breaks in a box's text become " / " so that one box stays on one line.
std::string oneLine(const std::wstring& text) {
    std::wstring flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') continue;
        if (text[i] == L'\n') {
            flat += L" / ";
        } else {
            flat += text[i];
        }
    }
    return utf8(flat);
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

struct Box {
    HWND window;
    std::wstring title;
    std::wstring text;
};

BOOL CALLBACK collect(HWND window, LPARAM found) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (IsWindowVisible(window) && std::wcscmp(className, L"#32770") == 0) {
        // A message box keeps its text in the static control 0xFFFF.
        wchar_t text[4096] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 4096);
        reinterpret_cast<std::vector<Box>*>(found)->push_back(Box{window, windowText(window), text});
    }
    return TRUE;
}

std::vector<Box> boxes() {
    std::vector<Box> found;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

void print(const Box& box) {
    std::printf("%s\t%s\n", oneLine(box.title).c_str(), oneLine(box.text).c_str());
}

BOOL CALLBACK printTitled(HWND window, LPARAM) {
    if (IsWindowVisible(window)) {
        const std::wstring title = windowText(window);
        if (!title.empty()) std::printf("%s\n", oneLine(title).c_str());
    }
    return TRUE;
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK findTitled(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<Search*>(search);
    if (IsWindowVisible(window) && windowText(window) == wanted->title) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findPrefixed(HWND window, LPARAM search) {
    auto* wanted = reinterpret_cast<Search*>(search);
    if (IsWindowVisible(window) && windowText(window).starts_with(wanted->title)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"list" && argc == 2) {
        for (const Box& box : boxes()) print(box);
        return 0;
    }
    if (verb == L"answer" && (argc == 3 || argc == 4)) {
        const std::wstring button = argc == 4 ? argv[3] : L"ok";
        int command = IDOK;
        if (button == L"yes") {
            command = IDYES;
        } else if (button == L"no") {
            command = IDNO;
        } else if (button != L"ok") {
            std::fprintf(stderr, "boxes.exe: the button is ok, yes or no\n");
            return 2;
        }
        const double seconds = std::wcstod(argv[2], nullptr);
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
        for (;;) {
            const std::vector<Box> found = boxes();
            if (!found.empty()) {
                print(found.front());
                PostMessageW(found.front().window, WM_COMMAND,
                             MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED), 0);
                return 0;
            }
            if (GetTickCount64() >= deadline) return 1;
            Sleep(50);
        }
    }
    if (verb == L"windows" && argc == 2) {
        EnumWindows(printTitled, 0);
        return 0;
    }
    if (verb == L"close" && argc == 3) {
        Search search{argv[2]};
        EnumWindows(findTitled, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) return 1;
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        return 0;
    }
    if (verb == L"close-prefixed" && argc == 3) {
        Search search{argv[2]};
        EnumWindows(findPrefixed, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) return 1;
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        return 0;
    }
    if (verb == L"responds" && argc == 3) {
        Search search{argv[2]};
        EnumWindows(findPrefixed, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) return 1;
        wchar_t title[512] = {};
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutW(search.found, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(title),
                                SMTO_ABORTIFHUNG, 1000, &copied) == 0) {
            return 1;
        }
        std::printf("%s\n", oneLine(title).c_str());
        return 0;
    }
    if (verb == L"kill" && argc == 3) {
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return 1;
        int killed = 0;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            if (lstrcmpiW(entry.szExeFile, argv[2]) != 0) continue;
            const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
            if (process != nullptr && TerminateProcess(process, 1)) ++killed;
            if (process != nullptr) CloseHandle(process);
        }
        CloseHandle(snapshot);
        FILETIME now{};
        GetSystemTimePreciseAsFileTime(&now);
        const unsigned long long ticks =
            (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        std::printf("%llu\n", ticks / 10000ULL - 11644473600000ULL);
        return killed > 0 ? 0 : 1;
    }
    std::fprintf(stderr,
                 "usage: boxes.exe list | answer SECONDS [ok|yes|no] | close TITLE | "
                 "close-prefixed PREFIX | windows | responds PREFIX | kill NAME\n");
    return 2;
}
