#include "devices/DeviceSettings.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace pelmora {

namespace {

Ipv4Host HostOf(const std::uint8_t (&octets)[4]) {
    return ToHost(Ipv4Octets{{octets[0], octets[1], octets[2], octets[3]}});
}

}  // namespace

MacBytes MacOf(const DeviceRecord& record) {
    MacBytes mac{};
    std::copy(std::begin(record.mac), std::end(record.mac), mac.begin());
    return mac;
}

DeviceSettings SettingsFromRecord(const DeviceRecord& record) {
    DeviceSettings settings;
    settings.mac = MacOf(record);
    settings.currentAddress = HostOf(record.ipAddress);
    settings.dhcp = record.dhcp != 0;
    settings.address = settings.currentAddress;
    settings.subnetMask = HostOf(record.subnetMask);
    settings.gateway = HostOf(record.gateway);
    const std::uint8_t* servers = record.dnsServers;
    settings.dns = ToHost(Ipv4Octets{{servers[0], servers[2], servers[4], servers[6]}});
    settings.deviceId = record.deviceId < 0 ? FACTORY_DEFAULT_DEVICE_ID : record.deviceId;
    settings.name = record.deviceName;
    settings.location = record.location;
    settings.description = record.description;
    settings.foreignDevice = !record.bbmdAddress.empty();
    settings.bbmdAddress = record.bbmdAddress;
    settings.pla = record.pla;
    settings.ela = record.ela;
    settings.port = record.bacnetPort;
    settings.debug = (record.debugFlags & 1u) != 0;
    return settings;
}

ConfigFields FieldsForWrite(const DeviceSettings& settings) {
    ConfigFields fields;
    fields.dhcp = settings.dhcp;
    fields.address = settings.address;
    fields.subnetMask = settings.subnetMask;
    fields.gateway = settings.gateway;
    fields.dns = settings.dns;
    fields.name = settings.name;
    fields.description = settings.description;
    fields.location = settings.location;
    fields.bbmdAddress = settings.bbmdAddress;
    fields.deviceId = settings.deviceId;
    fields.pla = settings.pla;
    fields.ela = settings.ela;
    fields.port = settings.port;
    fields.foreignDevice = settings.foreignDevice;
    fields.debug = settings.debug;
    return fields;
}

}  // namespace pelmora
