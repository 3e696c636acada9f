#pragma once
// The checks of the edit dialog's Save, in one place: the dialog corrects its fields with them, and a
// plan refuses a cell with them.
#include <cstdint>
#include <string>

namespace pelmora {

// How the edit dialog shows the device ID -1.
constexpr char FACTORY_DEFAULT_TEXT[] = "[factory default]";
// The longest texts the edit dialog takes, in characters.
constexpr int DEVICE_ID_TEXT_LIMIT = 20;
constexpr int NAME_LIMIT = 32;
constexpr int LOCATION_LIMIT = 32;
constexpr int DESCRIPTION_LIMIT = 50;
// What a refused station part or port is corrected to.
constexpr std::uint8_t DEFAULT_STATION_PART = 254;
constexpr std::uint16_t DEFAULT_BACNET_PORT = 47808;

// Empty text: value 0, false. A character other than "0".."9" and "-": text emptied, value unchanged,
// false. Otherwise value = ConvertDecimal(text), clamped to low..high; false when it had to be clamped.
bool ParseNumberText(std::string& text, int& value, int low, int high);

// Save's check of one field: true, with the value, when it passes. The text changes as
// ParseNumberText changes it.
bool CheckStationPartText(std::string& text, std::uint8_t& value);  // PLA or ELA, 0..255
bool CheckPortText(std::string& text, std::uint16_t& value);        // 0..65535
// FACTORY_DEFAULT_TEXT (-1) or -1..DEVICE_ID_LIMIT; DEVICE_ID_LIMIT itself is sent as -1.
bool CheckDeviceIdText(std::string& text, std::int32_t& value);

// The four numeric texts of the dialog, and what Save makes of them.
struct NumberFieldTexts {
    std::string ela;
    std::string pla;
    std::string port;
    std::string deviceId;
};
struct CheckedNumbers {
    // Refused fields hold their correction: 254, 254, 47808 and the factory default.
    std::uint8_t ela = DEFAULT_STATION_PART;
    std::uint8_t pla = DEFAULT_STATION_PART;
    std::uint16_t port = DEFAULT_BACNET_PORT;
    std::int32_t deviceId = -1;
    bool elaOk = false;
    bool plaOk = false;
    bool portOk = false;
    bool deviceIdOk = false;
    bool AllOk() const { return elaOk && plaOk && portOk && deviceIdOk; }
};
// Save's checks of all four.
CheckedNumbers CheckNumberFields(NumberFieldTexts& texts);

// The device ID a text stands for: -1 for FACTORY_DEFAULT_TEXT, else its decimal conversion.
std::int32_t DeviceIdFromText(const std::string& text);

}  // namespace pelmora
