#include "devices/Verification.h"

#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

// The text as a reply brings it back: at most 63 characters.
std::string AsReported(const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return DecodeElementText(bytes, Utf8CutPoint(text, 255), MAX_TEXT_CHARACTERS);
}

bool Carried(const DeviceSettings& written, Setting setting) {
    switch (setting) {
        case Setting::IpAddress: return !written.dhcp && written.address.has_value();
        case Setting::SubnetMask: return !written.dhcp && written.subnetMask.has_value();
        case Setting::Gateway: return !written.dhcp && written.gateway.has_value();
        case Setting::Dns: return !written.dhcp && written.dns.has_value();
        case Setting::Pla:
        case Setting::Ela: return written.pla != 0 || written.ela != 0;
        case Setting::UdpPort: return written.port != 0;
        default: return true;
    }
}

}  // namespace

std::vector<Setting> DifferingSettings(const DeviceSettings& written, const DeviceRecord& seen) {
    DeviceSettings expected = written;
    expected.deviceId = DeviceIdForWrite(written.deviceId);
    if (!expected.foreignDevice) expected.bbmdAddress.clear();
    for (std::string* text : {&expected.name, &expected.location, &expected.description, &expected.bbmdAddress})
        *text = AsReported(*text);
    const DeviceSettings reported = SettingsFromRecord(seen);
    std::vector<Setting> differing;
    for (const Setting setting : ALL_SETTINGS)
        if (Carried(written, setting) && SettingText(expected, setting) != SettingText(reported, setting))
            differing.push_back(setting);
    return differing;
}

}  // namespace pelmora
