#pragma once
// The settings a plan can set, one per column: their headings, their texts as the edit dialog shows
// them, and the reading of a plan's cell into a device's settings.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceSettings.h"
#include "protocol/DeviceRecord.h"

namespace pelmora {

enum class Setting : std::size_t {
    IpAddress,
    SubnetMask,
    Gateway,
    Dns,
    Dhcp,
    DeviceId,
    DeviceName,
    Location,
    Description,
    UdpPort,
    Bbmd,
    Pla,
    Ela,
    Debug,
};
constexpr std::size_t SETTING_COUNT = 14;
extern const std::array<Setting, SETTING_COUNT> ALL_SETTINGS;

// A cell of just this clears a text, and in "BBMD" turns foreign-device registration off.
constexpr char CLEAR_CELL[] = "-";

// "IP address", "Subnet mask", ... as a plan's header and the report name them.
const char* SettingHeading(Setting setting);
// The setting a plan heading names, in any case: the list's and the edit dialog's labels.
std::optional<Setting> SettingOfHeading(const std::string& heading);

// The setting as the edit dialog shows it: addresses dotted, "Yes" or "No", FACTORY_DEFAULT_TEXT for -1,
// texts as they are (a name with its "$"), the BBMD address or CLEAR_CELL when not a foreign device.
std::string SettingText(const DeviceSettings& settings, Setting setting);

// Whether the cell stands for the setting the device has now: the edit dialog's text or the list's
// (the factory default's "(N)", a name with its "$" expanded), either with the quote that keeps a
// spreadsheet from taking it as a formula.
bool ShowsCurrentValue(const std::string& cell, const DeviceRecord& record, Setting setting);

// Puts the cell's value into the settings with the edit dialog's checks: empty when it is sound,
// else why not. Numbers must be written out whole ("5-3" is refused, where the dialog reads 5).
std::string ReadSettingCell(const std::string& cell, Setting setting, DeviceSettings& settings);

}  // namespace pelmora
