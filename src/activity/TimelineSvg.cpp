#include "activity/TimelineSvg.h"

#include <array>
#include <cmath>

namespace relaydeck {

namespace {

using namespace std::chrono;

constexpr int kWidth = 960;
constexpr int kLeft = 110;  // room for the lane names
constexpr int kRight = 30;
constexpr int kTop = 44;
constexpr int kLaneHeight = 34;
constexpr int kLaneGap = 10;
constexpr int kPlotWidth = kWidth - kLeft - kRight;

struct LaneLook {
    const char* name;
    const char* colour;
};
constexpr std::array<LaneLook, 3> kLanes = {{
    {"Carrier", "#2e8b3a"},
    {"Internet", "#2f6fbf"},
    {"Transmitter", "#d23b2f"},
}};
constexpr const char* kIdColour = "#6a3fa0";
constexpr const char* kTimeOutColour = "#e08a00";

/// Tenths of a pixel, without the locale's decimal sign.
std::string px(double value) {
    const long long tenths = std::llround(value * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        if (tenths < 0 && tenths / 10 == 0) text = "-0";
        text += '.';
        text += static_cast<char>('0' + std::llabs(tenths % 10));
    }
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

/// A step for the axis ticks that gives between about 4 and 12 of them.
milliseconds tickStep(milliseconds span) {
    constexpr long long steps[] = {1000,     5000,     10000,    30000,   60000,   120000,
                                   300000,   600000,   900000,   1800000, 3600000, 7200000,
                                   10800000, 21600000, 43200000, 86400000};
    for (const long long s : steps) {
        if (span.count() / s <= 12) return milliseconds{s};
    }
    return milliseconds{86400000LL * ((span.count() / 86400000LL) / 12 + 1)};
}

}  // namespace

std::string timelineSvg(const Timeline& timeline, const std::string& title) {
    const milliseconds span = std::max(timeline.to - timeline.from, milliseconds{1});
    const auto x = [&](ActivityTime t) {
        return kLeft + static_cast<double>((t - timeline.from).count()) * kPlotWidth /
                           static_cast<double>(span.count());
    };
    const auto laneTop = [](std::size_t lane) {
        return kTop + static_cast<int>(lane) * (kLaneHeight + kLaneGap);
    };
    const int axisY = laneTop(kLanes.size()) + 4;
    const int height = axisY + 64;

    std::string svg;
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kWidth) +
           "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(kWidth) +
           ' ' + std::to_string(height) +
           "\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + std::to_string(kLeft) + "\" y=\"24\" font-size=\"15\" " +
           "font-weight=\"bold\">" + escaped(title) + "</text>\n";

    for (std::size_t lane = 0; lane < kLanes.size(); ++lane) {
        const int top = laneTop(lane);
        svg += "<rect x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(top) +
               "\" width=\"" + std::to_string(kPlotWidth) + "\" height=\"" +
               std::to_string(kLaneHeight) + "\" fill=\"#f1f1f1\"/>\n";
        svg += "<text x=\"" + std::to_string(kLeft - 8) + "\" y=\"" +
               std::to_string(top + kLaneHeight / 2 + 4) + "\" text-anchor=\"end\">" +
               kLanes[lane].name + "</text>\n";
    }
    for (const TimelineBand& band : timeline.bands) {
        const auto lane = static_cast<std::size_t>(band.lane);
        const double a = x(band.from);
        const double width = std::max(x(band.to) - a, 1.0);
        svg += "<rect x=\"" + px(a) + "\" y=\"" + std::to_string(laneTop(lane) + 3) +
               "\" width=\"" + px(width) + "\" height=\"" + std::to_string(kLaneHeight - 6) +
               "\" fill=\"" + kLanes[lane].colour + "\"/>\n";
    }
    const int marksTop = kTop - 6;
    for (const TimelineMark& mark : timeline.marks) {
        const bool timeOut = mark.event == ActivityEvent::TimeOut;
        const char* colour = timeOut ? kTimeOutColour : kIdColour;
        const std::string at = px(x(mark.time));
        svg.append("<line x1=\"").append(at).append("\" y1=\"");
        svg.append(std::to_string(marksTop)).append("\" x2=\"").append(at).append("\" y2=\"");
        svg.append(std::to_string(axisY)).append("\" stroke=\"").append(colour);
        svg.append("\" stroke-width=\"1.5\"").append(timeOut ? " stroke-dasharray=\"4 2\"" : "");
        svg.append("><title>").append(activityEventName(mark.event)).append(" ");
        svg.append(formatClockSpan(mark.time - timeline.from)).append("</title></line>\n");
        svg += "<circle cx=\"" + at + "\" cy=\"" + std::to_string(marksTop) + "\" r=\"4\" fill=\"" +
               colour + "\"/>\n";
    }

    svg += "<line x1=\"" + std::to_string(kLeft) + "\" y1=\"" + std::to_string(axisY) + "\" x2=\"" +
           std::to_string(kLeft + kPlotWidth) + "\" y2=\"" + std::to_string(axisY) +
           "\" stroke=\"#444444\"/>\n";
    const milliseconds step = tickStep(span);
    for (milliseconds t{0}; t <= span; t += step) {
        const std::string at = px(x(timeline.from + t));
        svg.append("<line x1=\"").append(at).append("\" y1=\"").append(std::to_string(axisY));
        svg.append("\" x2=\"").append(at).append("\" y2=\"").append(std::to_string(axisY + 5));
        svg.append("\" stroke=\"#444444\"/>\n");
        svg += "<text x=\"" + at + "\" y=\"" + std::to_string(axisY + 18) +
               "\" text-anchor=\"middle\">" + formatClockSpan(t) + "</text>\n";
    }

    const int legendY = axisY + 44;
    int legendX = kLeft;
    const auto legend = [&](const char* colour, const char* label) {
        svg += "<circle cx=\"" + std::to_string(legendX + 4) + "\" cy=\"" +
               std::to_string(legendY - 4) + "\" r=\"4\" fill=\"" + colour + "\"/>\n";
        svg += "<text x=\"" + std::to_string(legendX + 14) + "\" y=\"" + std::to_string(legendY) +
               "\">" + label + "</text>\n";
        legendX += 150;
    };
    legend(kIdColour, "identification");
    legend(kTimeOutColour, "time-out");
    svg += "</svg>\n";
    return svg;
}

}  // namespace relaydeck
