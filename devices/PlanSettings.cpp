#include "devices/PlanSettings.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "devices/SettingChecks.h"
#include "listing/CsvText.h"
#include "listing/RowTexts.h"
#include "listing/ShownText.h"
#include "protocol/Utf8Text.h"

namespace pelmora {

const std::array<Setting, SETTING_COUNT> ALL_SETTINGS = {
    Setting::IpAddress, Setting::SubnetMask, Setting::Gateway,  Setting::Dns,         Setting::Dhcp,
    Setting::DeviceId,  Setting::DeviceName, Setting::Location, Setting::Description, Setting::UdpPort,
    Setting::Bbmd,      Setting::Pla,        Setting::Ela,      Setting::Debug,
};

namespace {

// The texts the device reports back are cut to this many characters.
constexpr std::size_t BBMD_LIMIT = MAX_TEXT_CHARACTERS;

struct Heading {
    const char* text;
    Setting setting;
};
// The first of each setting is its own heading; the others are the edit dialog's labels.
constexpr Heading HEADINGS[] = {
    {"IP address", Setting::IpAddress},
    {"Subnet mask", Setting::SubnetMask},
    {"Gateway", Setting::Gateway},
    {"DNS", Setting::Dns},
    {"DHCP", Setting::Dhcp},
    {"Device ID", Setting::DeviceId},
    {"Device Name", Setting::DeviceName},
    {"Location", Setting::Location},
    {"Description", Setting::Description},
    {"UDP port", Setting::UdpPort},
    {"BBMD", Setting::Bbmd},
    {"PLA", Setting::Pla},
    {"ELA", Setting::Ela},
    {"Debug", Setting::Debug},
    {"Address", Setting::IpAddress},
    {"Name", Setting::DeviceName},
    {"UDP Port (47808)", Setting::UdpPort},
    {"BBMD address", Setting::Bbmd},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string AddressText(const std::optional<Ipv4Host>& address) { return address ? ToText(*address) : ""; }

bool IsWholeDecimal(const std::string& text) {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    return text.size() > digits && std::all_of(text.begin() + static_cast<long>(digits), text.end(),
                                               [](char c) { return c >= '0' && c <= '9'; });
}

std::string ReadAddress(const std::string& cell, Setting setting, std::optional<Ipv4Host>& address) {
    Ipv4Octets octets;
    if (!ParseIpv4(cell, octets)) return "not an IPv4 address";
    if (setting == Setting::SubnetMask && !PrefixLength(ToHost(octets))) return "not a subnet mask";
    address = ToHost(octets);
    return {};
}

std::string ReadFlag(const std::string& cell, bool& flag) {
    const std::string word = Lower(cell);
    const auto among = [&word](std::initializer_list<const char*> words) {
        return std::any_of(words.begin(), words.end(), [&word](const char* w) { return word == w; });
    };
    if (among({"yes", "on", "true", "1"})) {
        flag = true;
    } else if (among({"no", "off", "false", "0"})) {
        flag = false;
    } else {
        return "not Yes or No";
    }
    return {};
}

// The write sends "#" as "_" in these texts, so the plan shows and checks what the device will hold.
std::string ReadText(const std::string& cell, std::size_t limit, std::string& text, bool replaceHashes = true) {
    if (!IsValidUtf8(cell)) return "not UTF-8 (save the sheet as \"CSV UTF-8\")";
    if (std::any_of(cell.begin(), cell.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return "holds a control character";
    if (cell == CLEAR_CELL) {
        text.clear();
        return {};
    }
    if (CountCharacters(cell) > limit) return "longer than " + std::to_string(limit) + " characters";
    text = cell;
    if (replaceHashes) std::replace(text.begin(), text.end(), '#', '_');
    return {};
}

template <typename Value>
std::string ReadNumber(const std::string& cell, bool (*check)(std::string&, Value&), const char* range, Value& value) {
    std::string text = cell;
    if (!IsWholeDecimal(cell) || !check(text, value)) return std::string("not a number from ") + range;
    return {};
}

}  // namespace

const char* SettingHeading(Setting setting) {
    for (const Heading& heading : HEADINGS)
        if (heading.setting == setting) return heading.text;
    return "";
}

std::optional<Setting> SettingOfHeading(const std::string& heading) {
    const std::string wanted = Lower(heading);
    for (const Heading& known : HEADINGS)
        if (Lower(known.text) == wanted) return known.setting;
    return std::nullopt;
}

std::string SettingText(const DeviceSettings& s, Setting setting) {
    switch (setting) {
        case Setting::IpAddress: return AddressText(s.address);
        case Setting::SubnetMask: return AddressText(s.subnetMask);
        case Setting::Gateway: return AddressText(s.gateway);
        case Setting::Dns: return AddressText(s.dns);
        case Setting::Dhcp: return s.dhcp ? "Yes" : "No";
        case Setting::DeviceId:
            return s.deviceId == FACTORY_DEFAULT_DEVICE_ID ? FACTORY_DEFAULT_TEXT : std::to_string(s.deviceId);
        case Setting::DeviceName: return s.name;
        case Setting::Location: return s.location;
        case Setting::Description: return s.description;
        case Setting::UdpPort: return std::to_string(s.port);
        case Setting::Bbmd: return s.foreignDevice ? s.bbmdAddress : CLEAR_CELL;
        case Setting::Pla: return std::to_string(s.pla);
        case Setting::Ela: return std::to_string(s.ela);
        case Setting::Debug: return s.debug ? "Yes" : "No";
    }
    return {};
}

bool ShowsCurrentValue(const std::string& cell, const DeviceRecord& record, Setting setting) {
    std::vector<std::string> shown = {SettingText(SettingsFromRecord(record), setting)};
    const RowText row = RowTexts(record);
    if (setting == Setting::DeviceId) shown.push_back(row[COL_DEVICE_ID]);
    if (setting == Setting::DeviceName) shown.push_back(row[COL_DEVICE_NAME]);
    return std::any_of(shown.begin(), shown.end(), [&cell](const std::string& text) {
        // The list and the template show direction controls as U+FFFD (ShownText): such a cell
        // stands for the device's own text, which must not be written back replaced.
        const std::string seen = ShownText(text);
        return cell == text || cell == FormulaSafe(text) || cell == seen || cell == FormulaSafe(seen);
    });
}

std::string ReadSettingCell(const std::string& cell, Setting setting, DeviceSettings& s) {
    switch (setting) {
        case Setting::IpAddress: return ReadAddress(cell, setting, s.address);
        case Setting::SubnetMask: return ReadAddress(cell, setting, s.subnetMask);
        case Setting::Gateway: return ReadAddress(cell, setting, s.gateway);
        case Setting::Dns: return ReadAddress(cell, setting, s.dns);
        case Setting::Dhcp: return ReadFlag(cell, s.dhcp);
        case Setting::Debug: return ReadFlag(cell, s.debug);
        case Setting::DeviceId: {
            std::string text = cell;
            if (cell != FACTORY_DEFAULT_TEXT && !IsWholeDecimal(cell)) return "not a device ID";
            if (!CheckDeviceIdText(text, s.deviceId)) return "not a device ID from -1 to 4194303";
            s.deviceId = DeviceIdForWrite(s.deviceId);  // what the device gets
            return {};
        }
        case Setting::DeviceName: return ReadText(cell, NAME_LIMIT, s.name);
        case Setting::Location: return ReadText(cell, LOCATION_LIMIT, s.location);
        case Setting::Description: return ReadText(cell, DESCRIPTION_LIMIT, s.description);
        case Setting::Bbmd: {
            std::string text;
            if (std::string why = ReadText(cell, BBMD_LIMIT, text, false); !why.empty()) return why;
            s.foreignDevice = cell != CLEAR_CELL;
            s.bbmdAddress = text;
            return {};
        }
        case Setting::UdpPort: return ReadNumber(cell, CheckPortText, "0 to 65535", s.port);
        case Setting::Pla: return ReadNumber(cell, CheckStationPartText, "0 to 255", s.pla);
        case Setting::Ela: return ReadNumber(cell, CheckStationPartText, "0 to 255", s.ela);
    }
    return {};
}

}  // namespace pelmora
