#include "devices/DeviceSet.h"

#include <utility>

#include "devices/ConfigWrite.h"
#include "protocol/DiscoveryScan.h"

namespace pelmora {

bool DeviceSet::ReadInterfaceTable() {
    auto table = m_network.ReadInterfaceTable();
    if (!table) {
        m_interfaceTable.rows.clear();
        return false;
    }
    m_interfaceTable = std::move(*table);
    return true;
}

bool DeviceSet::Scan(Ipv4Host destination) {
    if (!m_network.Discover(m_interfaceTable, destination, m_replies)) return false;
    RebuildDeviceStore(m_replies, m_devices);
    return true;
}

void DeviceSet::Wink(const MacBytes& mac, Ipv4Host destination) {
    m_network.SendWink(m_replies[MacKey(mac)], destination);
}

void DeviceSet::Write(DeviceSettings& settings) {
    ConfigFields fields = FieldsForWrite(settings);
    WriteConfiguration(m_network, m_replies, settings.mac, settings.currentAddress, fields);
    settings.name = std::move(fields.name);
    settings.description = std::move(fields.description);
    settings.location = std::move(fields.location);
    settings.bbmdAddress = std::move(fields.bbmdAddress);
    m_lastWrite = settings;
}

}  // namespace pelmora
