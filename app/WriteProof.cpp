#include "app/WriteProof.h"

#include <vector>

#include "devices/PlanReport.h"
#include "devices/PlanSettings.h"
#include "devices/Verification.h"
#include "protocol/MacAddress.h"

namespace pelmora {

std::string WriteMark(const DeviceSettings& written, const DeviceRecord& seen) {
    const std::vector<Setting> differing = DifferingSettings(written, seen);
    if (differing.empty()) return ResultText(PlanResult::Confirmed);
    std::string text = std::string(ResultText(PlanResult::Differs)) + ": ";
    for (std::size_t i = 0; i < differing.size(); ++i) {
        if (i != 0) text += ", ";
        text += SettingHeading(differing[i]);
    }
    return text;
}

std::string NotSeenText(const DeviceSettings& written) {
    std::string where;
    if (written.dhcp) where = "with DHCP on";
    else where = "to " + ToText(written.address.value_or(written.currentAddress));
    return "The device " + MacText(written.mac) + " was not seen after the write " + where + ".";
}

std::optional<DeviceRecord> SeenRecord(const ReplyStore& replies, const MacBytes& mac) {
    const auto reply = replies.find(MacKey(mac));
    if (reply == replies.end()) return std::nullopt;
    DeviceRecord record;
    ParseDeviceRecord(record, reply->second);
    return record;
}

}  // namespace pelmora
