#include "devices/SettingChecks.h"

#include "protocol/ConfigPayload.h"
#include "protocol/DecimalText.h"

namespace pelmora {

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ParseNumberText(std::string& text, int& value, int low, int high) {
    if (text.empty()) {
        value = 0;
        return false;
    }
    for (const char c : text) {
        if (!IsAsciiDigit(c) && c != '-') {
            text.clear();
            return false;
        }
    }
    value = ConvertDecimal(text);
    if (value < low) {
        value = low;
        return false;
    }
    if (value > high) {
        value = high;
        return false;
    }
    return true;
}

bool CheckStationPartText(std::string& text, std::uint8_t& value) {
    int number = 0;
    if (!ParseNumberText(text, number, 0, 255)) return false;
    value = static_cast<std::uint8_t>(number);
    return true;
}

bool CheckPortText(std::string& text, std::uint16_t& value) {
    int number = 0;
    if (!ParseNumberText(text, number, 0, 65535)) return false;
    value = static_cast<std::uint16_t>(number);
    return true;
}

bool CheckDeviceIdText(std::string& text, std::int32_t& value) {
    if (text == FACTORY_DEFAULT_TEXT) {
        value = FACTORY_DEFAULT_DEVICE_ID;
        return true;
    }
    int number = 0;
    if (!ParseNumberText(text, number, FACTORY_DEFAULT_DEVICE_ID, DEVICE_ID_LIMIT)) return false;
    value = number;
    return true;
}

CheckedNumbers CheckNumberFields(NumberFieldTexts& texts) {
    CheckedNumbers checked;
    checked.elaOk = CheckStationPartText(texts.ela, checked.ela);
    checked.plaOk = CheckStationPartText(texts.pla, checked.pla);
    checked.portOk = CheckPortText(texts.port, checked.port);
    checked.deviceIdOk = CheckDeviceIdText(texts.deviceId, checked.deviceId);
    return checked;
}

std::int32_t DeviceIdFromText(const std::string& text) {
    // Converted, this text would go out as the device ID 0.
    if (text == FACTORY_DEFAULT_TEXT) return FACTORY_DEFAULT_DEVICE_ID;
    return ConvertDecimal(text);
}

}  // namespace pelmora
