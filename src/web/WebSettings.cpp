#include "web/WebSettings.h"

#include <array>
#include <charconv>

#include "settings/SettingsStore.h"

namespace relaydeck::web {

bool isLoopback(const std::string& address) {
    return address.starts_with("127.") || address == "::1" || address == "localhost";
}

std::optional<std::string> refusal(const WebSettings& s, Language language) {
    const auto refused = [language](TextId id) { return std::string(operatorText(id, language)); };
    if (s.port < 0 || s.port > 65535) return refused(TextId::WebRefusedPort);  // 0: any free one
    if (s.address.empty()) return refused(TextId::WebRefusedAddress);
    if (!isLoopback(s.address) && s.passwordHash.empty()) {
        return refused(TextId::WebRefusedNoPassword);
    }
    return std::nullopt;
}

WebSettings loadWebSettings(const SettingsStore& options) {
    WebSettings s;
    s.enabled = options.ReadSetting(kKeyWebEnabled, "0") == "1";
    s.address = options.ReadSetting(kKeyWebAddress, s.address);
    const std::string port = options.ReadSetting(kKeyWebPort, std::to_string(s.port));
    int value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (ec == std::errc{} && end == port.data() + port.size()) s.port = value;
    s.passwordHash = options.ReadSetting(kKeyWebPassword, "");
    return s;
}

void saveWebSettings(const SettingsStore& options, const WebSettings& s) {
    const std::array<SettingValue, 4> values = {{
        {kKeyWebEnabled, s.enabled ? "1" : "0"},
        {kKeyWebAddress, s.address},
        {kKeyWebPort, std::to_string(s.port)},
        {kKeyWebPassword, s.passwordHash},
    }};
    options.WriteSettings(values);
}

}  // namespace relaydeck::web
