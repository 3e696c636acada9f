#include "devices/ConfigWrite.h"

#include <utility>

#include "protocol/Payloads.h"
#include "protocol/SendTwice.h"

namespace pelmora {

namespace {

// Builds the list and sends it once; false when nothing went out.
bool BuildAndSend(DeviceNetwork& network, ElementList& list, ConfigFields& fields, Ipv4Host destination,
                  std::vector<std::uint8_t>& payload) {
    if (!BuildConfigPayload(list, fields)) return false;
    payload = ConfigWritePayload(list);
    return network.SendOnce(payload, destination);
}

void FlushBoth(DeviceNetwork& network, const ConfigWriteRun::Flush& flush, Ipv4Host destination) {
    for (const Ipv4Host address : {destination, BROADCAST_ADDRESS}) {
        if (flush) {
            flush(address);
        } else {
            network.FlushArpEntries(address);
        }
    }
}

}  // namespace

ConfigWriteRun::ConfigWriteRun(ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress, ConfigFields fields)
    : m_replies(replies), m_key(MacKey(mac)), m_currentAddress(currentAddress), m_fields(std::move(fields)) {}

std::optional<Clock::TimePoint> ConfigWriteRun::EndDestination(Clock::TimePoint now) {
    if (m_destination == 1) {
        m_phase = Phase::Done;
        return std::nullopt;
    }
    m_destination = 1;
    m_phase = Phase::FirstSend;
    return now + BETWEEN_DESTINATIONS_PAUSE;
}

std::optional<Clock::TimePoint> ConfigWriteRun::Step(DeviceNetwork& network, const Flush& flush) {
    const Clock::TimePoint now = network.Time().Now();
    switch (m_phase) {
        case Phase::FirstSend:
            if (!BuildAndSend(network, Entry(), m_fields, Destination(), m_payload)) return EndDestination(now);
            m_phase = Phase::SecondSend;
            return now + REPEAT_PAUSE;
        case Phase::SecondSend:
            network.SendOnce(m_payload, Destination());
            FlushBoth(network, flush, Destination());
            m_phase = Phase::AfterPause;
            return network.Time().Now() + AFTER_FLUSH_PAUSE;
        case Phase::AfterPause: return EndDestination(now);
        case Phase::Done: break;
    }
    return std::nullopt;
}

void WriteConfiguration(DeviceNetwork& network, ReplyStore& replies, const MacBytes& mac, Ipv4Host currentAddress,
                        ConfigFields& fields) {
    ConfigWriteRun run(replies, mac, currentAddress, fields);
    for (auto due = run.Step(network); due; due = run.Step(network)) network.Time().SleepUntil(*due);
    fields = run.Fields();
}

}  // namespace pelmora
