#pragma once
// The configuration write: the element list built from the edited values, sent to the device's address
// and by broadcast, each twice, with the neighbour entries flushed after each.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "base/Ipv4.h"
#include "protocol/ConfigPayload.h"
#include "protocol/DeviceNetwork.h"
#include "protocol/ElementList.h"
#include "protocol/MacAddress.h"

namespace pelmora {

constexpr std::chrono::milliseconds AFTER_FLUSH_PAUSE{200};
constexpr std::chrono::milliseconds BETWEEN_DESTINATIONS_PAUSE{250};

// One device's write as steps on the network's clock, so that writes to several devices can overlap
// while each is the same datagrams, order and pauses. Per destination: build the list in place of the
// device's entry of the reply store, send, REPEAT_PAUSE, send again, flush the destination's and the
// broadcast address's neighbour entries, AFTER_FLUSH_PAUSE. Between the two destinations,
// BETWEEN_DESTINATIONS_PAUSE. A destination whose list has no MAC element, or whose first send finds no
// socket, gets nothing more: no second send, no flush, no pause.
class ConfigWriteRun {
public:
    using Flush = std::function<void(Ipv4Host)>;

    // The store is borrowed for the run; the device's entry is looked up with find-or-insert.
    ConfigWriteRun(ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress, ConfigFields fields);

    // Does the step that is due; the time the next one is due, or nothing when the write is over.
    // Flushes go through flush (the network's own when it is empty).
    std::optional<Clock::TimePoint> Step(DeviceNetwork& network, const Flush& flush = {});
    // The values as the write changed them ("#" replaced, the BBMD address emptied when not foreign).
    const ConfigFields& Fields() const { return m_fields; }

private:
    enum class Phase { FirstSend, SecondSend, AfterPause, Done };
    ElementList& Entry() { return m_replies[m_key]; }
    Ipv4Host Destination() const { return m_destination == 0 ? m_currentAddress : BROADCAST_ADDRESS; }
    std::optional<Clock::TimePoint> EndDestination(Clock::TimePoint now);

    ReplyStore& m_replies;
    std::string m_key;
    Ipv4Host m_currentAddress;
    ConfigFields m_fields;
    int m_destination = 0;  // 0: the current address, 1: broadcast
    Phase m_phase = Phase::FirstSend;
    std::vector<std::uint8_t> m_payload;
};

// The whole write for the device with this MAC, run to its end on the network's clock.
void WriteConfiguration(DeviceNetwork& network, ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress,
                        ConfigFields& fields);

}  // namespace pelmora
