#pragma once
// What the windows and pelmora-scan share: the reply store, the device records the list shows (row i
// shows record i) and the interface table, with the operations that fill and use them. No toolkit.
#include <cstdint>
#include <optional>
#include <utility>

#include "base/Ipv4.h"
#include "devices/DeviceSettings.h"
#include "protocol/DeviceNetwork.h"
#include "protocol/DeviceStore.h"
#include "protocol/ElementList.h"
#include "protocol/InterfaceTable.h"
#include "protocol/MacAddress.h"

namespace pelmora {

class DeviceSet {
public:
    // The network is borrowed for the object's life.
    explicit DeviceSet(DeviceNetwork& network) : m_network(network) {}
    ~DeviceSet() = default;
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;
    DeviceSet(DeviceSet&&) = delete;
    DeviceSet& operator=(DeviceSet&&) = delete;

    // Re-reads the interface table; false, with the table empty, when it cannot be read.
    bool ReadInterfaceTable();
    // The request from every address of the table last read, to destination:DEVICE_PORT; the replies
    // heard join the store, and the records are rebuilt from the whole store in MAC order. False when
    // no socket could be made: nothing was sent, and the records are left as they were.
    bool Scan(Ipv4Host destination);
    // Forgets every reply, so the next scan lists only the devices that answer it.
    void ClearReplies() { m_replies.clear(); }
    // The wink for the device with this MAC, from its stored reply (looked up with find-or-insert; an
    // entry without a MAC element sends nothing).
    void Wink(const MacBytes& mac, Ipv4Host destination = BROADCAST_ADDRESS);
    // The configuration write of the settings to the device's current address and by broadcast. Changes
    // the settings as the write does: "#" becomes "_" in name, description and location, and the BBMD
    // address is emptied when foreign-device registration is off.
    void Write(DeviceSettings& settings);
    // The settings of the last Write as it sent them, once: the window checks them after its rescan.
    std::optional<DeviceSettings> TakeLastWrite() { return std::exchange(m_lastWrite, std::nullopt); }

    ReplyStore& Replies() { return m_replies; }
    const ReplyStore& Replies() const { return m_replies; }
    DeviceStore& Store() { return m_devices; }
    const DeviceStore& Store() const { return m_devices; }
    const InterfaceTable& Interfaces() const { return m_interfaceTable; }
    std::int32_t InterfaceCount() const { return static_cast<std::int32_t>(m_interfaceTable.rows.size()); }

private:
    DeviceNetwork& m_network;
    ReplyStore m_replies;
    DeviceStore m_devices;
    InterfaceTable m_interfaceTable;
    std::optional<DeviceSettings> m_lastWrite;
};

}  // namespace pelmora
