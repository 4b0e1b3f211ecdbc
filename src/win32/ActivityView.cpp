#include "win32/ActivityView.h"

#include <algorithm>
#include <cmath>

#include <commctrl.h>

#include "activity/TimelineDrawing.h"
#include "controller/WindowLayout.h"
#include "win32/Text.h"

namespace relaydeck::win32 {

namespace {

using namespace std::chrono;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

/// "13:58:53": the local time of day of a record.
std::string clockText(ActivityTime time) {
    const auto local = toLocal(time, win32UtcOffset);
    const std::string full = formatActivityTime(local);  // "YYYY-MM-DD HH:MM:SS.mmm"
    return full.substr(11, 8);
}

void fill(HDC dc, const RECT& r, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

COLORREF colourOf(const TimelineColour& c) {
    return RGB(c.red, c.green, c.blue);
}

int round(double value) {
    return static_cast<int>(std::lround(value));
}

/// The table's columns: heading and width in twips (the last takes the rest).
struct Column {
    TextId heading;
    int widthTwips;
};
constexpr Column kColumns[] = {{TextId::ActivityColumnTime, 1000},
                               {TextId::ActivityColumnEvent, 2300},
                               {TextId::ActivityColumnDuration, 1000},
                               {TextId::ActivityColumnDetail, 0}};

}  // namespace

seconds win32UtcOffset(ActivityTime time) {
    // The FILETIME of the moment, turned into local time by the system's rules for it.
    const long long ticks = (time.time_since_epoch().count() + 11644473600000LL) * 10000LL;
    FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcTime{}, localTime{};
    FILETIME local{};
    if (!FileTimeToSystemTime(&utc, &utcTime) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime) ||
        !SystemTimeToFileTime(&localTime, &local)) {
        return seconds{0};
    }
    const auto value = [](const FILETIME& f) {
        return (static_cast<long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return seconds{(value(local) - value(utc)) / 10'000'000LL};
}

ActivityView::ActivityView(ActivityModel& model) : Window(model, activityLayout()), model_(model) {
    createWindow(0, kStyle, widen(model.caption()).c_str(), nullptr, nullptr);
    const HWND window = hwnd();
    const RECT table = rectOf(activityTableRect());
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL,
        table.left, table.top, table.right - table.left, table.bottom - table.top, window, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(host_.windowFont()), TRUE);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int used = GetSystemMetrics(SM_CXVSCROLL) + 4;
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        const int width = kColumns[i].widthTwips > 0
                              ? host_.scale().px(kColumns[i].widthTwips)
                              : std::max(static_cast<int>(table.right - table.left) - used, 40);
        used += width;
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = width;
        const std::wstring heading = host_.shown(designedText(kColumns[i].heading));
        column.pszText = const_cast<wchar_t*>(heading.c_str());
        column.iSubItem = i;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }

    const Scale& scale = host_.scale();
    const SIZE outer =
        outerSize(scale.px(ActivityModel::kWidthTwips), scale.px(ActivityModel::kHeightTwips),
                  kStyle, 0, false, scale.dpi());
    const RECT area = workArea(nullptr);
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
                 area.top + (area.bottom - area.top - outer.cy) / 2, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    contentListener_ = model_.setContentListener([this] { refreshContent(); });
    applyWindow();
}

ActivityView::~ActivityView() = default;

RECT ActivityView::rectOf(const TwipsRect& twips) const {
    const Scale& scale = host_.scale();
    return {scale.px(twips.left), scale.px(twips.top), scale.px(twips.right()),
            scale.px(twips.bottom())};
}

void ActivityView::applyWindow() {
    const HWND window = hwnd();
    if (window == nullptr || list_ == nullptr) return;
    SetWindowTextW(window, host_.shown(model_.caption()).c_str());
    if (const OperatorTexts* texts = model_.operatorTexts();
        texts != nullptr && texts->language() != shownLanguage_) {
        syncRows();  // the rows anew, in the language now in force
    }
    const bool shown = IsWindowVisible(window) != FALSE;
    if (model_.isVisible() && !shown) {
        syncRows();
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
    } else if (!model_.isVisible() && shown) {
        ShowWindow(window, SW_HIDE);
    }
}

void ActivityView::refreshContent() {
    syncRows();
    const RECT timeline = rectOf(activityTimelineRect());
    InvalidateRect(hwnd(), &timeline, FALSE);
}

void ActivityView::syncRows() {
    const auto& records = model_.journal().records();
    const int count = static_cast<int>(records.size());
    const OperatorTexts* texts = model_.operatorTexts();
    const Language language = texts != nullptr ? texts->language() : Language::AsDesigned;
    if (language != shownLanguage_ || count < shown_ ||
        (shown_ > 0 && (records.empty() || records.front().time != firstShown_))) {
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        shown_ = 0;
        if (language != shownLanguage_) {
            for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
                const std::wstring heading = host_.shown(designedText(kColumns[i].heading));
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT;
                column.pszText = const_cast<wchar_t*>(heading.c_str());
                SendMessageW(list_, LVM_SETCOLUMNW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&column));
            }
        }
        shownLanguage_ = language;
    }
    if (count == shown_) return;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (int i = shown_; i < count; ++i) {
        const ActivityRecord& r = records[static_cast<std::size_t>(i)];
        const std::wstring cells[] = {
            widen(clockText(r.time)), widen(operatorText(activityEventText(r.event), language)),
            widen(r.duration ? formatClockSpan(*r.duration) : std::string()), widen(r.detail)};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(cells[0].c_str());
        const auto row = SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 4; ++column) {
            LVITEMW cell{};
            cell.iSubItem = column;
            cell.pszText = const_cast<wchar_t*>(cells[column].c_str());
            SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&cell));
        }
    }
    shown_ = count;
    if (!records.empty()) firstShown_ = records.front().time;
    SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(std::max(count - 1, 0)), FALSE);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ActivityView::paintTimeline(HDC dc) {
    const RECT area = rectOf(activityTimelineRect());
    const HGDIOBJ oldFont = SelectObject(dc, host_.windowFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    TimelineFrame frame;
    frame.width = static_cast<int>(area.right - area.left);
    frame.height = static_cast<int>(area.bottom - area.top);
    frame.fontPx = metrics.tmHeight - metrics.tmInternalLeading;
    frame.axis = TimelineAxis::LocalClock;
    frame.offset = win32UtcOffset;
    const TimelineDrawing drawing = drawTimeline(model_.timeline(), frame);

    const int x0 = area.left, y0 = area.top;
    SetBkMode(dc, TRANSPARENT);
    for (const DrawItem& item : drawing.items) {
        const COLORREF colour = colourOf(item.colour);
        const int x = x0 + round(item.x), y = y0 + round(item.y);
        switch (item.shape) {
            case DrawShape::Box: {
                const RECT r{x, y, std::max(x0 + round(item.x + item.width), x + 1),
                             std::max(y0 + round(item.y + item.height), y + 1)};
                fill(dc, r, colour);
                break;
            }
            case DrawShape::Line: {
                const HPEN pen = CreatePen(item.dashed ? PS_DASH : PS_SOLID, 1, colour);
                const HGDIOBJ oldPen = SelectObject(dc, pen);
                MoveToEx(dc, x, y, nullptr);
                LineTo(dc, x0 + round(item.x + item.width), y0 + round(item.y + item.height));
                SelectObject(dc, oldPen);
                DeleteObject(pen);
                break;
            }
            case DrawShape::Dot: {
                const HBRUSH brush = CreateSolidBrush(colour);
                const HGDIOBJ oldBrush = SelectObject(dc, brush);
                const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
                const int r = std::max(round(item.width), 1);
                Ellipse(dc, x - r, y - r, x + r + 1, y + r + 1);
                SelectObject(dc, oldPen);
                SelectObject(dc, oldBrush);
                DeleteObject(brush);
                break;
            }
            case DrawShape::Text: {
                const UINT align = item.anchor == TextAnchor::Start    ? TA_LEFT
                                   : item.anchor == TextAnchor::Middle ? TA_CENTER
                                                                       : TA_RIGHT;
                SetTextAlign(dc, align | TA_BASELINE);
                SetTextColor(dc, colour);
                // The lanes' names in the language in force; the times as they are.
                const std::wstring text = host_.shown(item.text);
                TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
                break;
            }
        }
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SelectObject(dc, oldFont);
}

LRESULT ActivityView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd(), &paint);
            paintTimeline(dc);
            EndPaint(hwnd(), &paint);
            return 0;
        }
        case WM_CLOSE:
            model_.close();
            return 0;
        case WM_COMMAND:
            // Esc, as a dialog's Cancel.
            if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
                model_.close();
                return 0;
            }
            return Window::onMessage(message, wParam, lParam);
        default:
            return Window::onMessage(message, wParam, lParam);
    }
}

}  // namespace relaydeck::win32
