#include "win32/WebSettingsView.h"

#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "web/RemoteStation.h"
#include "win32/Text.h"

namespace relaydeck::win32 {

namespace {

enum : WORD {
    kEnabled = 101,
    kAddress,
    kPort,
    kPassword,
    kClearPassword,
    kHint,
    kMessage,
    kAddressLabel,
    kPortLabel,
    kPasswordLabel,
};

/// @brief What the open dialog works with.
struct DialogState {
    web::RemoteStation& remote;
    std::unique_ptr<OperatorTexts::Listening> listening;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;

/// @brief A dialog template built in memory, in dialog units.
class DialogTemplate {
  public:
    DialogTemplate(const std::wstring& title, short width, short height) {
        const DWORD style =
            DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        addDword(style);
        addDword(0);
        count_ = words_.size();
        words_.push_back(0);  // number of controls
        for (short v : {short{0}, short{0}, width, height}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        addText(title);
        words_.push_back(8);
        addText(L"MS Shell Dlg");
    }

    void add(WORD kind, WORD id, DWORD style, short x, short y, short cx, short cy,
             const std::wstring& text) {
        if (words_.size() % 2 != 0) words_.push_back(0);  // each item on a DWORD boundary
        addDword(style | WS_CHILD | WS_VISIBLE);
        addDword(0);
        for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(kind);
        addText(text);
        words_.push_back(0);  // no creation data
        ++words_[count_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void addDword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void addText(const std::wstring& text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

std::wstring textOf(HWND dialog, int id) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dialog, id))) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        GetDlgItemTextW(dialog, id, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND dialog, int id, std::string_view utf8) {
    SetDlgItemTextW(dialog, id, widen(utf8).c_str());
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

/// @brief The port typed, or -1 (refused) when it is no number.
int portOf(const std::string& text) {
    int port = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    return ec == std::errc{} && end == text.data() + text.size() && port > 0 ? port : -1;
}

void showState(HWND dialog, web::RemoteStation& remote) {
    const std::string serving = remote.serving();
    const OperatorTexts& texts = remote.texts();
    setText(dialog, kMessage,
            serving.empty() ? std::string(texts.text(TextId::WebDialogStopped))
                            : operatorText(TextId::WebDialogRunning, texts.language(), {serving}));
}

/// @brief Every caption in the language in force.
void showTexts(HWND dialog, const OperatorTexts& texts) {
    SetWindowTextW(dialog, widen(texts.text(TextId::WebDialogTitle)).c_str());
    for (const auto& [id, text] : {std::pair{kEnabled, TextId::WebDialogEnabled},
                                   {kAddressLabel, TextId::WebDialogAddress},
                                   {kPortLabel, TextId::WebDialogPort},
                                   {kPasswordLabel, TextId::WebDialogPassword},
                                   {kClearPassword, TextId::WebDialogClearPassword},
                                   {kHint, TextId::WebDialogHint}}) {
        setText(dialog, id, texts.text(text));
    }
    setText(dialog, IDCANCEL, texts.text(TextId::ButtonCancel));
}

void load(HWND dialog, web::RemoteStation& remote) {
    const web::WebSettings s = remote.settings();
    showTexts(dialog, remote.texts());
    CheckDlgButton(dialog, kEnabled, s.enabled ? BST_CHECKED : BST_UNCHECKED);
    setText(dialog, kAddress, s.address);
    setText(dialog, kPort, std::to_string(s.port));
    EnableWindow(GetDlgItem(dialog, kClearPassword), s.passwordHash.empty() ? FALSE : TRUE);
    showState(dialog, remote);
}

/// @brief The save: true when the settings were taken.
bool save(HWND dialog, web::RemoteStation& remote) {
    web::WebSettings s = remote.settings();
    s.enabled = checked(dialog, kEnabled);
    std::string address = narrow(textOf(dialog, kAddress));
    address.erase(0, address.find_first_not_of(' '));
    address.erase(address.find_last_not_of(' ') + 1);
    s.address = address;
    s.port = portOf(narrow(textOf(dialog, kPort)));
    std::optional<std::string> why;
    try {
        why = remote.apply(s, narrow(textOf(dialog, kPassword)), checked(dialog, kClearPassword));
    } catch (const SettingsWriteError& e) {
        why = Program::writeFailureText(e, remote.texts().language());
    } catch (const std::exception& e) {
        why = e.what();
    }
    SetDlgItemTextW(dialog, kPassword, L"");
    if (why) setText(dialog, kMessage, *why);
    return !why;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            auto& opened = *reinterpret_cast<DialogState*>(lParam);
            load(dialog, opened.remote);
            opened.listening = opened.remote.texts().listen([dialog, &opened] {
                showTexts(dialog, opened.remote.texts());
                showState(dialog, opened.remote);
            });
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && state != nullptr) {
                if (save(dialog, state->remote)) EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void showWebSettings(HWND owner, web::RemoteStation& remote) {
    // The captions are set as the dialog opens, in the language in force; the hint and the
    // message have room for four lines, which the longer Portuguese texts take.
    DialogTemplate dialog(widen(remote.texts().text(TextId::WebDialogTitle)), 250, 190);
    const DWORD checkBox = BS_AUTOCHECKBOX | WS_TABSTOP;
    const DWORD edit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    dialog.add(kButton, kEnabled, checkBox, 7, 7, 236, 10, L"");
    dialog.add(kStatic, kAddressLabel, SS_LEFT, 7, 25, 56, 8, L"");
    dialog.add(kEdit, kAddress, edit, 66, 23, 177, 12, L"");
    dialog.add(kStatic, kPortLabel, SS_LEFT, 7, 41, 56, 8, L"");
    dialog.add(kEdit, kPort, edit | ES_NUMBER, 66, 39, 40, 12, L"");
    dialog.add(kStatic, kPasswordLabel, SS_LEFT, 7, 57, 56, 8, L"");
    dialog.add(kEdit, kPassword, edit | ES_PASSWORD, 66, 55, 177, 12, L"");
    dialog.add(kButton, kClearPassword, checkBox, 7, 73, 236, 10, L"");
    dialog.add(kStatic, kHint, SS_LEFT, 7, 89, 236, 34, L"");
    dialog.add(kStatic, kMessage, SS_LEFT, 7, 127, 236, 34, L"");
    dialog.add(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 139, 169, 50, 14, L"OK");
    dialog.add(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 193, 169, 50, 14, L"");
    DialogState state{remote, nullptr};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner, &dialogProc,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace relaydeck::win32
