#include "win32/ActivityView.h"

#include <algorithm>
#include <array>

#include "activity/TimelineSvg.h"
#include "controller/WindowLayout.h"
#include "win32/Text.h"

namespace relaydeck::win32 {

namespace {

using namespace std::chrono;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct LaneLook {
    TextId name;
    COLORREF colour;
};
constexpr std::array<LaneLook, 3> kLanes = {{
    {TextId::LaneCarrier, RGB(0x2e, 0x8b, 0x3a)},
    {TextId::LaneInternet, RGB(0x2f, 0x6f, 0xbf)},
    {TextId::LaneTransmitter, RGB(0xd2, 0x3b, 0x2f)},
}};
constexpr COLORREF kIdColour = RGB(0x6a, 0x3f, 0xa0);
constexpr COLORREF kTimeOutColour = RGB(0xe0, 0x8a, 0x00);

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
    list_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | LBS_NOSEL,
        table.left, table.top, table.right - table.left, table.bottom - table.top, window, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(host_.windowFont()), TRUE);
    const int stops[] = {44, 140, 176};  // dialog units: time, event, duration, detail
    SendMessageW(list_, LB_SETTABSTOPS, std::size(stops), reinterpret_cast<LPARAM>(stops));

    const Scale& scale = host_.scale();
    const SIZE outer =
        outerSize(scale.px(ActivityModel::kWidthTwips), scale.px(ActivityModel::kHeightTwips),
                  kStyle, 0, false, scale.dpi());
    const RECT area = workArea(nullptr);
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
                 area.top + (area.bottom - area.top - outer.cy) / 2, outer.cx, outer.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    model_.setContentListener([this] { refreshContent(); });
    applyWindow();
}

ActivityView::~ActivityView() {
    model_.setContentListener({});
}

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
        SendMessageW(list_, LB_RESETCONTENT, 0, 0);
        shown_ = 0;
        shownLanguage_ = language;
    }
    if (count == shown_) return;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (int i = shown_; i < count; ++i) {
        const ActivityRecord& r = records[static_cast<std::size_t>(i)];
        std::string line =
            clockText(r.time) + '\t' + operatorText(activityEventText(r.event), language) + '\t' +
            (r.duration ? formatClockSpan(*r.duration) : std::string()) + '\t' + r.detail;
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(line).c_str()));
    }
    shown_ = count;
    if (!records.empty()) firstShown_ = records.front().time;
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(count - 1, 0)), 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ActivityView::paintTimeline(HDC dc) {
    const RECT area = rectOf(activityTimelineRect());
    const Timeline timeline = model_.timeline();
    const HGDIOBJ oldFont = SelectObject(dc, host_.windowFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight;
    SIZE labelSize{};
    for (const LaneLook& lane : kLanes) {
        const std::wstring name = host_.shown(designedText(lane.name));
        SIZE size{};
        GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
        labelSize.cx = std::max(labelSize.cx, size.cx);
    }
    const int left = area.left + labelSize.cx + 10;
    const int plotWidth = std::max(static_cast<int>(area.right) - 8 - left, 1);
    const int marksHeight = 8;
    const int gap = 4;
    const int laneHeight = std::max(
        (static_cast<int>(area.bottom - area.top) - lineHeight - 6 - marksHeight - 2 * gap) / 3,
        lineHeight);
    const double span =
        static_cast<double>(std::max<long long>((timeline.to - timeline.from).count(), 1));
    const auto x = [&](ActivityTime t) {
        return left + static_cast<int>(static_cast<double>((t - timeline.from).count()) *
                                       plotWidth / span);
    };
    const auto laneTop = [&](std::size_t lane) {
        return static_cast<int>(area.top) + marksHeight +
               static_cast<int>(lane) * (laneHeight + gap);
    };

    fill(dc, area, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (std::size_t lane = 0; lane < kLanes.size(); ++lane) {
        RECT row{left, laneTop(lane), left + plotWidth, laneTop(lane) + laneHeight};
        fill(dc, row, GetSysColor(COLOR_WINDOW));
        FrameRect(dc, &row, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        RECT label{area.left, row.top, left - 6, row.bottom};
        DrawTextW(dc, host_.shown(designedText(kLanes[lane].name)).c_str(), -1, &label,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    for (const TimelineBand& band : timeline.bands) {
        const auto lane = static_cast<std::size_t>(band.lane);
        const int a = x(band.from);
        RECT r{a, laneTop(lane) + 2, std::max(x(band.to), a + 1), laneTop(lane) + laneHeight - 2};
        fill(dc, r, kLanes[lane].colour);
    }
    const int axisY = laneTop(kLanes.size()) - gap + 2;
    for (const TimelineMark& mark : timeline.marks) {
        const bool timeOut = mark.event == ActivityEvent::TimeOut;
        const HPEN pen =
            CreatePen(timeOut ? PS_DASH : PS_SOLID, 1, timeOut ? kTimeOutColour : kIdColour);
        const HGDIOBJ oldPen = SelectObject(dc, pen);
        const int at = x(mark.time);
        MoveToEx(dc, at, static_cast<int>(area.top) + marksHeight / 2, nullptr);
        LineTo(dc, at, axisY);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    MoveToEx(dc, left, axisY, nullptr);
    LineTo(dc, left + plotWidth, axisY);
    // The local time of day at round minutes.
    const long long stepMs =
        duration_cast<milliseconds>(ActivityModel::axisStep(timeline.to - timeline.from)).count();
    const long long fromMs = timeline.from.time_since_epoch().count();
    const long long offsetMs = win32UtcOffset(timeline.from).count() * 1000LL;
    for (long long t = ((fromMs + offsetMs) / stepMs + 1) * stepMs - offsetMs;
         t <= timeline.to.time_since_epoch().count(); t += stepMs) {
        const int at = x(ActivityTime{milliseconds{t}});
        MoveToEx(dc, at, axisY, nullptr);
        LineTo(dc, at, axisY + 3);
        const std::wstring label = widen(clockText(ActivityTime{milliseconds{t}}).substr(0, 5));
        RECT r{at - 30, axisY + 3, at + 30, axisY + 3 + lineHeight};
        DrawTextW(dc, label.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
    }
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
