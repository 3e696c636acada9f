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

CheckedNumbers CheckNumberFields(NumberFieldTexts& texts) {
    CheckedNumbers checked;
    int value = 0;
    checked.elaOk = ParseNumberText(texts.ela, value, 0, 255);
    if (checked.elaOk) checked.ela = static_cast<std::uint8_t>(value);
    checked.plaOk = ParseNumberText(texts.pla, value, 0, 255);
    if (checked.plaOk) checked.pla = static_cast<std::uint8_t>(value);
    checked.portOk = ParseNumberText(texts.port, value, 0, 65535);
    if (checked.portOk) checked.port = static_cast<std::uint16_t>(value);
    if (texts.deviceId == FACTORY_DEFAULT_TEXT) {
        checked.deviceIdOk = true;
    } else {
        checked.deviceIdOk = ParseNumberText(texts.deviceId, value, FACTORY_DEFAULT_DEVICE_ID, DEVICE_ID_LIMIT);
        if (checked.deviceIdOk) checked.deviceId = value;
    }
    return checked;
}

std::int32_t DeviceIdFromText(const std::string& text) {
    // Converted, this text would go out as the device ID 0.
    if (text == FACTORY_DEFAULT_TEXT) return FACTORY_DEFAULT_DEVICE_ID;
    return ConvertDecimal(text);
}

}  // namespace pelmora
