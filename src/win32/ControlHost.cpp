#include "win32/ControlHost.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "win32/Text.h"

namespace relaydeck::win32 {

namespace {

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

COLORREF toColorRef(Rgb rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

DWORD alignStyle(TextAlign align) {
    switch (align) {
        case TextAlign::Centre:
            return SS_CENTER;
        case TextAlign::Right:
            return SS_RIGHT;
        case TextAlign::Left:
            break;
    }
    return SS_LEFT;
}

WPARAM checkState(int value) {
    switch (value) {
        case 0:
            return BST_UNCHECKED;
        case 1:
            return BST_CHECKED;
        default:
            return BST_INDETERMINATE;
    }
}

HMENU childId(int control) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlHost::commandId(control)));
}

}  // namespace

ControlHost::ControlHost(WindowModel& model, const WindowLayout& layout)
    : model_(model),
      layout_(layout),
      children_(model.controlCount(), nullptr),
      frames_(layout.frames.size(), nullptr),
      frameShown_(layout.frames.size(), true),
      forcedHidden_(model.controlCount(), false),
      pictures_(model.controlCount(), nullptr),
      icons_(model.controlCount(), nullptr) {
    model_.addObserver(this);
    if (const OperatorTexts* texts = model_.operatorTexts()) {
        listening_ = texts->listen([this] { languageChanged(); });
    }
}

std::wstring ControlHost::shown(std::string_view text) const {
    const OperatorTexts* texts = model_.operatorTexts();
    return widen(texts != nullptr ? texts->shown(text) : std::string(text));
}

void ControlHost::languageChanged() {
    for (std::size_t f = 0; f < frames_.size(); ++f) {
        SetWindowTextW(frames_[f], shown(layout_.frames[f].caption).c_str());
    }
    for (const Caption& caption : captions_) {
        SetWindowTextW(caption.hwnd, shown(caption.layout->text).c_str());
    }
    for (std::size_t id = 0; id < children_.size(); ++id) {
        const char* tip = model_.definition(static_cast<int>(id)).tooltip;
        if (children_[id] != nullptr && tip[0] != '\0') updateTooltip(children_[id], tip);
        apply(static_cast<int>(id));
    }
    if (ownMenu_ != nullptr) {
        const int last = GetMenuItemCount(menu_) - 1;
        ModifyMenuW(menu_, static_cast<UINT>(last), MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(ownMenu_),
                    shown(designedText(TextId::ProgramName)).c_str());
        DrawMenuBar(window_);
    }
    if (onWindowChanged) onWindowChanged();
}

ControlHost::~ControlHost() {
    model_.removeObserver(this);
    for (auto& [key, handle] : fonts_) DeleteObject(handle);
    if (background_ != nullptr) DeleteObject(background_);
}

COLORREF ControlHost::colourOf(const Colour& colour, COLORREF fallback) const {
    switch (colour.kind) {
        case Colour::Kind::Fixed:
            return toColorRef(colour.rgb);
        case Colour::Kind::HighlightText:
            return GetSysColor(COLOR_HIGHLIGHTTEXT);
        case Colour::Kind::Default:
            break;
    }
    return fallback;
}

HFONT ControlHost::font(const FontFace& face) {
    const std::wstring key =
        widen(face.family) + L"|" + std::to_wstring(face.points) + L"|" + (face.bold ? L"b" : L"n");
    if (const auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    const HFONT made =
        CreateFontW(scale_.fontHeight(face.points), 0, 0, 0, face.bold ? FW_BOLD : FW_NORMAL, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, widen(face.family).c_str());
    fonts_[key] = made;
    return made;
}

const FontFace& ControlHost::faceOf(const ControlPlacement& p) const {
    return p.font ? *p.font : layout_.font;
}

void ControlHost::create(HWND window, unsigned dpi, HMENU menuBar) {
    window_ = window;
    menu_ = menuBar;
    scale_ = Scale(dpi);
    if (layout_.background.kind != Colour::Kind::Default) {
        background_ = CreateSolidBrush(colourOf(layout_.background, 0));
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    tooltips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, scale_.px(6000));

    for (std::size_t f = 0; f < layout_.frames.size(); ++f) {
        const FrameLayout& frame = layout_.frames[f];
        frames_[f] = CreateWindowExW(0, L"BUTTON", shown(frame.caption).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0, 0,
                                     0, window_, nullptr, instance, nullptr);
    }
    for (const CaptionLayout& caption : layout_.captions) {
        const HWND hwnd = CreateWindowExW(0, L"STATIC", shown(caption.text).c_str(),
                                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOPREFIX |
                                              SS_CENTERIMAGE | alignStyle(caption.align),
                                          0, 0, 0, 0, window_, nullptr, instance, nullptr);
        EnableWindow(hwnd, caption.enabled ? TRUE : FALSE);
        captions_.push_back({hwnd, &caption});
    }
    for (const ControlPlacement& p : layout_.controls) createControl(p);
    // A lamp with a caption written on it is drawn by the caption's window.
    for (const ControlPlacement& p : layout_.controls) {
        if (p.onLamp >= 0) forcedHidden_[static_cast<std::size_t>(p.onLamp)] = true;
    }
    if (menu_ != nullptr) {
        for (std::size_t id = 0; id < model_.controlCount(); ++id) {
            if (model_.definition(static_cast<int>(id)).kind != ControlKind::MenuItem) continue;
            const int control = static_cast<int>(id);
            // Relaydeck's own entries stand in one menu after every other entry.
            if (layout_.firstOwnMenuEntry >= 0 && control >= layout_.firstOwnMenuEntry &&
                ownMenu_ == nullptr) {
                ownMenu_ = CreatePopupMenu();
                AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(ownMenu_),
                            shown(designedText(TextId::ProgramName)).c_str());
            }
            const bool own = ownMenu_ != nullptr;
            AppendMenuW(own ? ownMenu_ : menu_, MF_STRING,
                        static_cast<UINT_PTR>(commandId(control)),
                        shown(model_.text(control)).c_str());
        }
    }
    for (const HWND frame : frames_) {
        SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    relayout(dpi);
    for (std::size_t id = 0; id < model_.controlCount(); ++id) apply(static_cast<int>(id));
}

void ControlHost::createControl(const ControlPlacement& p) {
    const ControlDefinition& def = model_.definition(p.control);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const wchar_t* type = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    const bool hasTip = def.tooltip[0] != '\0';
    switch (def.kind) {
        case ControlKind::Label:
            style |= SS_NOPREFIX | alignStyle(p.align);
            if (p.look != Look::WrapText) style |= SS_CENTERIMAGE;
            if (hasTip) style |= SS_NOTIFY;
            break;
        case ControlKind::ClickLabel:
            style |= SS_NOTIFY | SS_NOPREFIX;
            style |= p.onLamp >= 0 ? SS_OWNERDRAW : (alignStyle(p.align) | SS_CENTERIMAGE);
            break;
        case ControlKind::Lamp:
            style |= SS_OWNERDRAW;
            break;
        case ControlKind::Picture:
            style |= p.look == Look::EtchedLine ? SS_ETCHEDHORZ : SS_OWNERDRAW;
            break;
        case ControlKind::TextField:
            type = L"EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::CheckBox:
            type = L"BUTTON";
            style |= WS_TABSTOP | BS_3STATE;
            break;
        case ControlKind::Button:
            type = L"BUTTON";
            style |=
                WS_TABSTOP | (p.look == Look::DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::MenuItem:
            return;
    }
    const std::wstring text =
        def.kind == ControlKind::TextField ? widen(def.text) : shown(def.text);
    const HWND hwnd = CreateWindowExW(exStyle, type, text.c_str(), style, 0, 0, 0, 0, window_,
                                      childId(p.control), instance, nullptr);
    if (def.kind == ControlKind::CheckBox && !p.text.isDefault()) {
        // A themed check box ignores the colour its parent asks for.
        SetWindowTheme(hwnd, L"", L"");
    }
    children_[static_cast<std::size_t>(p.control)] = hwnd;
    if (hasTip) addTooltip(hwnd, def.tooltip);
}

void ControlHost::updateTooltip(HWND child, const char* text) {
    std::wstring wide = shown(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = wide.data();
    SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ControlHost::addTooltip(HWND child, const char* text) {
    std::wstring wide = shown(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = wide.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ControlHost::place(HWND child, int frame, const TwipsRect& rect) {
    const Scale::PixelRect r = scale_.rect(layout_.inClient(frame, rect));
    SetWindowPos(child, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlHost::relayout(unsigned dpi) {
    scale_ = Scale(dpi);
    for (auto& [key, handle] : fonts_) DeleteObject(handle);
    fonts_.clear();
    const auto setFont = [](HWND hwnd, HFONT f) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    };
    for (std::size_t f = 0; f < layout_.frames.size(); ++f) {
        place(frames_[f], kClientArea, layout_.frames[f].rect);
        setFont(frames_[f], font(layout_.frames[f].font));
    }
    for (const Caption& caption : captions_) {
        place(caption.hwnd, caption.layout->frame, caption.layout->rect);
        setFont(caption.hwnd, font(layout_.font));
    }
    for (const ControlPlacement& p : layout_.controls) {
        const HWND hwnd = children_[static_cast<std::size_t>(p.control)];
        if (hwnd == nullptr) continue;
        place(hwnd, p.frame, p.rect);
        setFont(hwnd, fontFor(p));
        if (p.look == Look::FitText) fitToText(p.control);
    }
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, scale_.px(6000));
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void ControlHost::setFrameShown(int frame, bool shown) {
    const auto index = static_cast<std::size_t>(frame);
    if (frameShown_[index] == shown) return;
    frameShown_[index] = shown;
    ShowWindow(frames_[index], shown ? SW_SHOWNA : SW_HIDE);
    for (const Caption& caption : captions_) {
        if (caption.layout->frame == frame) ShowWindow(caption.hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    for (const ControlPlacement& p : layout_.controls) {
        if (p.frame == frame) applyVisibility(p.control);
    }
}

void ControlHost::setForcedHidden(int id, bool hidden) {
    forcedHidden_[static_cast<std::size_t>(id)] = hidden;
    applyVisibility(id);
}

void ControlHost::setPicture(int id, HBITMAP picture) {
    pictures_[static_cast<std::size_t>(id)] = picture;
    if (HWND hwnd = handle(id)) InvalidateRect(hwnd, nullptr, TRUE);
}

void ControlHost::setIcon(int id, HICON icon) {
    icons_[static_cast<std::size_t>(id)] = icon;
    if (HWND hwnd = handle(id)) InvalidateRect(hwnd, nullptr, TRUE);
}

const ControlPlacement* ControlHost::placementOf(HWND child) const {
    for (const ControlPlacement& p : layout_.controls) {
        if (children_[static_cast<std::size_t>(p.control)] == child) return &p;
    }
    return nullptr;
}

std::wstring ControlHost::shownText(int id) const {
    const std::string& text = model_.text(id);
    const ControlPlacement* p = layout_.find(id);
    const bool typed = model_.definition(id).kind == ControlKind::TextField;
    const std::string inForce = typed ? text : narrow(shown(text));
    if (p != nullptr && p->look == Look::WrapText) {
        return widen(breakLongBlankRuns(inForce, "\r\n"));
    }
    return widen(inForce);
}

HFONT ControlHost::fontFor(const ControlPlacement& p) {
    const FontFace& face = faceOf(p);
    const HWND hwnd = handle(p.control);
    if (p.look != Look::ShrinkToFit || hwnd == nullptr) return font(face);
    const std::wstring text = shownText(p.control);
    const int room = scale_.rect(p.rect).width;
    constexpr double kStepPoints = 0.75;
    constexpr double kSmallestPoints = 6.0;
    const HDC dc = GetDC(hwnd);
    FontFace tried = face;
    HFONT chosen = font(tried);
    for (;;) {
        const HGDIOBJ old = SelectObject(dc, chosen);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        if (size.cx <= room || tried.points - kStepPoints < kSmallestPoints) break;
        tried.points -= kStepPoints;
        chosen = font(tried);
    }
    ReleaseDC(hwnd, dc);
    return chosen;
}

void ControlHost::fitToText(int id) {
    const HWND hwnd = handle(id);
    const ControlPlacement* p = layout_.find(id);
    if (hwnd == nullptr || p == nullptr) return;
    const std::wstring text = shownText(id);
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font(faceOf(*p)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    const Scale::PixelRect r = scale_.rect(layout_.inClient(p->frame, p->rect));
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx + 2, r.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void ControlHost::controlChanged(int id) {
    if (id < 0 || static_cast<std::size_t>(id) >= children_.size()) return;
    if (window_ == nullptr) return apply(id);
    pending_.resize(children_.size());
    pending_[static_cast<std::size_t>(id)] = true;
    if (applyPosted_) return;
    applyPosted_ = PostMessageW(window_, kApplyPending, 0, 0) != FALSE;
    if (!applyPosted_) applyPending();
}

void ControlHost::applyPending() {
    applyPosted_ = false;
    for (std::size_t id = 0; id < pending_.size(); ++id) {
        if (!pending_[id]) continue;
        pending_[id] = false;
        apply(static_cast<int>(id));
    }
}

void ControlHost::windowChanged() {
    if (onWindowChanged) onWindowChanged();
}

void ControlHost::apply(int id) {
    const ControlDefinition& def = model_.definition(id);
    if (def.kind == ControlKind::MenuItem) {
        if (menu_ == nullptr) return;
        const auto command = static_cast<UINT_PTR>(commandId(id));
        ModifyMenuW(menu_, static_cast<UINT>(command),
                    MF_BYCOMMAND | MF_STRING | (model_.enabled(id) ? MF_ENABLED : MF_GRAYED) |
                        (model_.value(id) != 0 ? MF_CHECKED : MF_UNCHECKED),
                    command, shown(model_.text(id)).c_str());
        DrawMenuBar(window_);
        return;
    }
    const HWND hwnd = handle(id);
    if (hwnd == nullptr) return;
    const std::wstring text = shownText(id);
    switch (def.kind) {
        case ControlKind::TextField:
            if (windowText(hwnd) != text) {
                applying_ = true;
                SetWindowTextW(hwnd, text.c_str());
                applying_ = false;
            }
            break;
        case ControlKind::CheckBox:
            if (windowText(hwnd) != text) SetWindowTextW(hwnd, text.c_str());
            SendMessageW(hwnd, BM_SETCHECK, checkState(model_.value(id)), 0);
            break;
        case ControlKind::Lamp:
            InvalidateRect(hwnd, nullptr, FALSE);
            for (const ControlPlacement& p : layout_.controls) {
                if (p.onLamp == id) InvalidateRect(handle(p.control), nullptr, FALSE);
            }
            break;
        case ControlKind::Picture:
            break;
        case ControlKind::Label:
        case ControlKind::ClickLabel:
        case ControlKind::Button:
            if (windowText(hwnd) != text) {
                SetWindowTextW(hwnd, text.c_str());
                const ControlPlacement* p = layout_.find(id);
                if (p != nullptr && p->look == Look::FitText) fitToText(id);
                if (p != nullptr && p->look == Look::ShrinkToFit) {
                    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(*p)), TRUE);
                }
                if (p != nullptr && p->onLamp >= 0) InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        case ControlKind::MenuItem:
            break;
    }
    const BOOL enable = model_.enabled(id) ? TRUE : FALSE;
    if ((IsWindowEnabled(hwnd) != FALSE) != (enable != FALSE)) EnableWindow(hwnd, enable);
    applyVisibility(id);
}

void ControlHost::applyVisibility(int id) {
    const HWND hwnd = handle(id);
    if (hwnd == nullptr) return;
    const ControlPlacement* p = layout_.find(id);
    const bool frameShown =
        p == nullptr || p->frame == kClientArea || frameShown_[static_cast<std::size_t>(p->frame)];
    const bool shown =
        model_.visible(id) && frameShown && !forcedHidden_[static_cast<std::size_t>(id)];
    // The control's own flag: IsWindowVisible is false for all of them while the window
    // itself is hidden.
    const bool flagged = (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (flagged != shown) ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
}

bool ControlHost::handleCommand(WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<int>(LOWORD(wParam)) - kFirstCommand;
    if (id < 0 || static_cast<std::size_t>(id) >= model_.controlCount()) return false;
    const UINT code = HIWORD(wParam);
    const ControlKind kind = model_.definition(id).kind;
    if (lParam == 0) {
        if (kind == ControlKind::MenuItem && code == 0) model_.click(id);
        return kind == ControlKind::MenuItem;
    }
    switch (kind) {
        case ControlKind::TextField:
            if (code == EN_CHANGE && !applying_) {
                model_.setText(id, narrow(windowText(reinterpret_cast<HWND>(lParam))));
            }
            return true;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) model_.setValue(id, model_.value(id) == 0 ? 1 : 0);
            return true;
        case ControlKind::Button:
            if (code == BN_CLICKED) model_.click(id);
            return true;
        case ControlKind::ClickLabel:
            if (code == STN_CLICKED) model_.click(id);
            return true;
        default:
            return true;
    }
}

std::optional<LRESULT> ControlHost::handleColour(HDC dc, HWND child) {
    const ControlPlacement* p = placementOf(child);
    if (p != nullptr && model_.definition(p->control).kind == ControlKind::TextField) {
        return std::nullopt;
    }
    const Colour text = p != nullptr ? p->text : Colour{};
    if (background_ == nullptr && text.isDefault()) return std::nullopt;
    SetTextColor(dc, colourOf(text, colourOf(layout_.foreground, GetSysColor(COLOR_WINDOWTEXT))));
    SetBkMode(dc, TRANSPARENT);
    HBRUSH brush = background_ != nullptr ? background_ : GetSysColorBrush(COLOR_BTNFACE);
    if (background_ != nullptr) SetBkColor(dc, colourOf(layout_.background, 0));
    return reinterpret_cast<LRESULT>(brush);
}

bool ControlHost::paintBackground(HDC dc, const RECT& area) {
    if (background_ == nullptr) return false;
    FillRect(dc, &area, background_);
    return true;
}

void ControlHost::drawLamp(HDC dc, const RECT& area, Rgb colour, const std::wstring& text,
                           HFONT lampFont) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const HBRUSH fill = CreateSolidBrush(toColorRef(colour));
    const HGDIOBJ oldBrush = SelectObject(dc, fill);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    if (!text.empty()) {
        const HGDIOBJ oldFont = SelectObject(dc, lampFont);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        RECT box = area;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
    }
}

bool ControlHost::handleDrawItem(const DRAWITEMSTRUCT& item) {
    const int id = static_cast<int>(item.CtlID) - kFirstCommand;
    if (id < 0 || static_cast<std::size_t>(id) >= model_.controlCount()) return false;
    const ControlPlacement* p = layout_.find(id);
    if (p == nullptr) return false;
    const HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    switch (model_.definition(id).kind) {
        case ControlKind::Lamp:
            drawLamp(dc, area, model_.colour(id), shownText(id), font(faceOf(*p)));
            return true;
        case ControlKind::ClickLabel:
            if (p->onLamp < 0) return false;
            drawLamp(dc, area, model_.colour(p->onLamp), shownText(id), font(faceOf(*p)));
            return true;
        case ControlKind::Picture: {
            if (!paintBackground(dc, area)) FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
            const int width = area.right - area.left;
            const int height = area.bottom - area.top;
            if (const HICON icon = icons_[static_cast<std::size_t>(id)]) {
                const int size = scale_.px(480);
                DrawIconEx(dc, area.left + (width - size) / 2, area.top + (height - size) / 2, icon,
                           size, size, 0, nullptr, DI_NORMAL);
                return true;
            }
            const HBITMAP picture = pictures_[static_cast<std::size_t>(id)];
            if (picture == nullptr) return true;
            BITMAP info{};
            GetObjectW(picture, sizeof info, &info);
            if (info.bmWidth <= 0 || info.bmHeight <= 0 || width <= 0 || height <= 0) return true;
            // Cover the area keeping the picture's proportions; cut the overflow evenly.
            int srcWidth = info.bmWidth;
            int srcHeight = info.bmHeight;
            if (static_cast<long long>(srcWidth) * height >
                static_cast<long long>(srcHeight) * width) {
                srcWidth = static_cast<int>(static_cast<long long>(srcHeight) * width / height);
            } else {
                srcHeight = static_cast<int>(static_cast<long long>(srcWidth) * height / width);
            }
            const HDC source = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(source, picture);
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, area.left, area.top, width, height, source,
                       (info.bmWidth - srcWidth) / 2, (info.bmHeight - srcHeight) / 2, srcWidth,
                       srcHeight, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace relaydeck::win32
