#include "controller/WindowLayout.h"

namespace relaydeck {

std::string breakLongBlankRuns(std::string_view text, std::string_view lineBreak,
                               std::size_t minimumRun) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    text = text.substr(first, last - first + 1);
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != ' ') {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] == ' ') ++end;
        const std::size_t run = end - i;
        if (run >= minimumRun) {
            out += lineBreak;
        } else {
            out.append(run, ' ');
        }
        i = end;
    }
    return out;
}

}  // namespace relaydeck
