#pragma once
// The devices' side of the protocol, without sockets: a received datagram in, the log record of it
// and the datagrams to send in answer out.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tools/simulator/Datagram.h"
#include "tools/simulator/DeviceGenerator.h"
#include "tools/simulator/EventLog.h"
#include "tools/simulator/FaultKind.h"
#include "tools/simulator/SimDevice.h"

namespace pelmora {

using Clock = std::chrono::steady_clock;

struct ResponderSettings {
    ReplyMode mode = ReplyMode::Auto;  // for devices without a reply= of their own
    Ipv4Octets broadcast{{255, 255, 255, 255}};
    bool shuffle = false;
    std::uint32_t seed = 1;
    std::vector<FaultKind> faults;  // one extra broken reply of each kind per request
    bool faultsOnly = false;        // the devices' good replies are left out
    std::size_t flood = 0;          // broken datagrams per request
    std::size_t floodMacs = 0;      // good replies of made-up devices per request
    std::chrono::milliseconds restartSilence{0};
    std::optional<Ipv4Prefix> dhcpLease;  // first address handed out to devices that turn DHCP on
    // The subnets of the namespace's own addresses. A device's gateway in one of them exists on the wire,
    // so under auto a requester outside the device's subnet is answered by unicast through it.
    std::vector<Ipv4Prefix> attachedSubnets;
};

struct Received {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool truncated = false;  // longer than the receive buffer
    Ipv4Octets from;
    std::uint16_t fromPort = 0;
    Ipv4Octets to;  // the datagram's destination address
    std::uint16_t toPort = 0;
    Clock::time_point now;
};

struct Outgoing {
    Datagram bytes;
    Ipv4Octets to;
    std::uint16_t port = 0;
    JsonObject fields;  // what the send's log record says about it
};

class Responder {
public:
    Responder(std::vector<SimDevice> devices, ResponderSettings settings, EventLog& log);

    // Logs the datagram `in` and returns what the devices send in answer.
    std::vector<Outgoing> Handle(const Received& in);

    const std::vector<SimDevice>& Devices() const { return m_devices; }
    // Called when a write moves a device from one address to another; with a restart silence, once
    // the restart is over, as a device keeps its old address until it has restarted.
    void OnAddressChange(std::function<void(Ipv4Octets before, Ipv4Octets after)> observer) {
        m_onAddressChange = std::move(observer);
    }
    // Delivers the address changes that are due; the earliest one still waiting, if any.
    std::optional<Clock::time_point> Advance(Clock::time_point now);

private:
    struct Answer {
        const SimDevice* device;
        long index;  // into m_devices, -1 for made-up devices
        FaultKind fault;
        bool toRequester;  // made-up devices answer the requester only
        const char* origin;
    };
    void HandleRequest(const Received& in, std::size_t payloadSize, JsonObject& record, std::vector<Outgoing>& out);
    void HandleWrite(const Received& in, const std::uint8_t* payload, std::size_t size, JsonObject& record);
    void HandleWink(const Received& in, const std::uint8_t* payload, std::size_t size, JsonObject& record);
    bool Restarting(std::size_t index, Clock::time_point now) const;
    Outgoing MakeAnswer(const Answer& answer, const Received& in) const;
    bool Reaches(const SimDevice& device, Ipv4Octets address) const;

    std::vector<SimDevice> m_devices;
    ResponderSettings m_settings;
    EventLog& m_log;
    std::map<MacAddress, std::size_t> m_byMac;
    std::vector<Clock::time_point> m_silentUntil;
    std::vector<SimDevice> m_faultDevices;  // one per kind of --faults
    std::vector<SimDevice> m_floodDevices;
    std::mt19937 m_random;
    std::uint32_t m_leasesGiven = 0;
    std::function<void(Ipv4Octets, Ipv4Octets)> m_onAddressChange;
    struct AddressMove {
        Clock::time_point due;
        Ipv4Octets before;
        Ipv4Octets after;
    };
    std::vector<AddressMove> m_moves;  // in due order
};

}  // namespace pelmora
