#include "activity/TimelineSvg.h"

#include <cmath>
#include <cstdlib>

#include "activity/MarkupText.h"

namespace relaydeck {

namespace {

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

void append(std::string& svg, const DrawItem& item) {
    const std::string colour = item.colour.hex();
    switch (item.shape) {
        case DrawShape::Box:
            svg += "<rect x=\"" + px(item.x) + "\" y=\"" + px(item.y) + "\" width=\"" +
                   px(item.width) + "\" height=\"" + px(item.height) + "\" fill=\"" + colour +
                   "\"/>\n";
            return;
        case DrawShape::Line:
            svg += "<line x1=\"" + px(item.x) + "\" y1=\"" + px(item.y) + "\" x2=\"" +
                   px(item.x + item.width) + "\" y2=\"" + px(item.y + item.height) +
                   "\" stroke=\"" + colour + '"';
            if (!item.text.empty()) svg += " stroke-width=\"1.5\"";
            if (item.dashed) svg += " stroke-dasharray=\"4 2\"";
            if (item.text.empty()) {
                svg += "/>\n";
            } else {
                svg += "><title>" + escapeMarkup(item.text) + "</title></line>\n";
            }
            return;
        case DrawShape::Dot:
            svg += "<circle cx=\"" + px(item.x) + "\" cy=\"" + px(item.y) + "\" r=\"" +
                   px(item.width) + "\" fill=\"" + colour + "\"/>\n";
            return;
        case DrawShape::Text: {
            svg += "<text x=\"" + px(item.x) + "\" y=\"" + px(item.y) + '"';
            if (item.anchor != TextAnchor::Start) {
                svg += item.anchor == TextAnchor::Middle ? " text-anchor=\"middle\""
                                                         : " text-anchor=\"end\"";
            }
            if (item.bold) svg += " font-size=\"" + px(item.height) + "\" font-weight=\"bold\"";
            svg += '>' + escapeMarkup(item.text) + "</text>\n";
            return;
        }
    }
}

}  // namespace

std::string timelineSvg(const TimelineDrawing& drawing) {
    const std::string w = std::to_string(drawing.width), h = std::to_string(drawing.height);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" +
                      h + "\" viewBox=\"0 0 " + w + ' ' + h +
                      "\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"12\">\n";
    for (const DrawItem& item : drawing.items) append(svg, item);
    svg += "</svg>\n";
    return svg;
}

std::string timelineSvg(const Timeline& timeline, const std::string& title) {
    TimelineFrame frame;
    frame.title = title;
    frame.legend = true;
    return timelineSvg(drawTimeline(timeline, frame));
}

}  // namespace relaydeck
