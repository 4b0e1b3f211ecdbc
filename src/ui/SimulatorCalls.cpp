#include "ui/SimulatorCalls.h"

namespace relaydeck {

std::optional<std::string> callText(const LinkCall& call) {
    const std::string& args = call.arguments;
    const std::size_t open = args.find('"');
    if (open == std::string::npos) return std::nullopt;
    std::string text;
    for (std::size_t i = open + 1; i < args.size(); ++i) {
        const char c = args[i];
        if (c == '"') return text;
        if (c == '\\' && i + 1 < args.size()) {
            text += args[++i];
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

}  // namespace relaydeck
