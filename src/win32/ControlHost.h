#pragma once
/// @file
/// @brief Builds a window's controls from its layout and keeps them in step with its
///        model, both ways.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/OperatorTexts.h"
#include "controller/WindowLayout.h"
#include "controller/WindowModel.h"
#include "win32/Scale.h"

namespace relaydeck::win32 {

/// @brief The child windows of one top-level window, bound to its model.
///
/// Model to view: every change the model reports is shown (text, tick state, colour,
/// enabled and visible flags) without echoing it back. View to model: edits call
/// setText, clicks call click, a check-box click asks for the toggled value (0 -> 1,
/// 1 -> 0, 2 -> 0). The owner forwards WM_COMMAND, WM_CTLCOLOR* and WM_DRAWITEM here.
class ControlHost : public WindowObserver {
  public:
    /// @brief The command id of a control's child window or menu entry.
    static constexpr int kFirstCommand = 1000;
    static int commandId(int control) { return kFirstCommand + control; }

    ControlHost(WindowModel& model, const WindowLayout& layout);
    ~ControlHost() override;
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    /// @brief Creates every frame, caption and placed control in @p window, laid out for
    /// @p dpi, and the model's menu entries on @p menuBar (nullptr: none).
    void create(HWND window, unsigned dpi, HMENU menuBar);
    /// @brief Lays everything out again for @p dpi (fonts and places).
    void relayout(unsigned dpi);
    /// @brief Shows or hides a whole frame with its contents (the model's visible flags
    /// still apply inside it).
    void setFrameShown(int frame, bool shown);
    /// @brief Hides or shows control @p id whatever its frame, on top of its model flag.
    void setForcedHidden(int id, bool hidden);

    /// @brief @p picture is drawn for Picture controls with a picture look.
    void setPicture(int id, HBITMAP picture);
    void setIcon(int id, HICON icon);

    /// @brief Handles a WM_COMMAND; true when it was one of this window's controls.
    bool handleCommand(WPARAM wParam, LPARAM lParam);
    /// @brief Handles WM_CTLCOLORSTATIC / WM_CTLCOLORBTN; a brush when it coloured the child.
    std::optional<LRESULT> handleColour(HDC dc, HWND child);
    /// @brief Handles WM_DRAWITEM for owner-drawn controls.
    bool handleDrawItem(const DRAWITEMSTRUCT& item);
    /// @brief Fills @p dc's @p area with the window's background; false when it has none.
    bool paintBackground(HDC dc, const RECT& area);

    /// @brief @p text in the language in force.
    std::wstring shown(std::string_view text) const;
    /// @brief The menu of Relaydeck's own on the menu bar (nullptr: none).
    HMENU ownMenu() const { return ownMenu_; }
    HWND handle(int id) const { return children_.at(static_cast<std::size_t>(id)); }
    const Scale& scale() const { return scale_; }
    HFONT windowFont() { return font(layout_.font); }

    /// @brief Changes are shown once the handler that made them is done (a handler's link
    /// calls never wait for the controls to redraw): the owner forwards this message here.
    static constexpr UINT kApplyPending = WM_USER + 0x51;
    void applyPending();

    void controlChanged(int id) override;
    void windowChanged() override;
    /// @brief Runs when the model reports a window change.
    std::function<void()> onWindowChanged;

  private:
    struct Caption {
        HWND hwnd;
        const CaptionLayout* layout;
    };
    HFONT font(const FontFace& face);
    const FontFace& faceOf(const ControlPlacement& p) const;
    void createControl(const ControlPlacement& p);
    void place(HWND child, int frame, const TwipsRect& rect);
    void apply(int id);
    void applyVisibility(int id);
    void fitToText(int id);
    /// @brief The font a control is drawn in: its face, made smaller where the look asks
    /// for its text to fit.
    HFONT fontFor(const ControlPlacement& p);
    std::wstring shownText(int id) const;
    void languageChanged();
    void updateTooltip(HWND child, const char* text);
    const ControlPlacement* placementOf(HWND child) const;
    void drawLamp(HDC dc, const RECT& area, Rgb colour, const std::wstring& text, HFONT font);
    void addTooltip(HWND child, const char* text);
    COLORREF colourOf(const Colour& colour, COLORREF fallback) const;

    WindowModel& model_;
    const WindowLayout& layout_;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    HWND tooltips_ = nullptr;
    Scale scale_;
    std::vector<HWND> children_;
    std::vector<HWND> frames_;
    std::vector<bool> frameShown_;
    std::vector<bool> forcedHidden_;
    std::vector<Caption> captions_;
    std::vector<HBITMAP> pictures_;
    std::vector<HICON> icons_;
    std::map<std::wstring, HFONT> fonts_;
    HBRUSH background_ = nullptr;
    bool applying_ = false;
    std::vector<bool> pending_;
    bool applyPosted_ = false;
    std::vector<std::wstring> tooltipTexts_;
    HMENU ownMenu_ = nullptr;  ///< the menu of Relaydeck's own on the menu bar
    std::unique_ptr<OperatorTexts::Listening> listening_;
};

}  // namespace relaydeck::win32
