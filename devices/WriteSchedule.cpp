#include "devices/WriteSchedule.h"

#include <algorithm>
#include <utility>

namespace pelmora {

WriteSchedule::WriteSchedule(DeviceNetwork& network, ReplyStore& replies, std::vector<DeviceSettings> writes)
    : m_network(network), m_replies(replies), m_writes(std::move(writes)) {}

void WriteSchedule::Flush(Ipv4Host address) {
    const Clock::TimePoint now = m_network.Time().Now();
    if (now != m_flushTime) {
        m_flushTime = now;
        m_flushedNow.clear();
    }
    if (m_flushedNow.insert(address.value).second) m_network.FlushArpEntries(address);
}

std::optional<Clock::TimePoint> WriteSchedule::Step() {
    const auto flush = [this](Ipv4Host address) { Flush(address); };
    for (;;) {
        while (m_active.size() < MAX_OVERLAPPED_WRITES && m_next < m_writes.size()) {
            const DeviceSettings& settings = m_writes[m_next];
            m_active.push_back({m_next,
                                std::make_unique<ConfigWriteRun>(m_replies, settings.mac, settings.currentAddress,
                                                                 FieldsForWrite(settings)),
                                m_network.Time().Now()});
            ++m_next;
        }
        bool ended = false;
        const Clock::TimePoint now = m_network.Time().Now();
        for (Active& active : m_active) {
            if (active.due > now) continue;
            if (const auto due = active.run->Step(m_network, flush)) {
                active.due = *due;
                continue;
            }
            DeviceSettings& written = m_writes[active.index];
            const ConfigFields& fields = active.run->Fields();
            written.name = fields.name;
            written.description = fields.description;
            written.location = fields.location;
            written.bbmdAddress = fields.bbmdAddress;
            active.run.reset();
            ++m_finished;
            ended = true;
        }
        m_active.erase(std::remove_if(m_active.begin(), m_active.end(), [](const Active& a) { return !a.run; }),
                       m_active.end());
        // A write that starts in place of one that ended begins at once, at this same moment.
        if (ended && m_next < m_writes.size()) continue;
        if (m_active.empty()) return std::nullopt;
        return std::min_element(m_active.begin(), m_active.end(),
                                [](const Active& a, const Active& b) { return a.due < b.due; })
            ->due;
    }
}

void WriteSchedule::Run() {
    for (auto due = Step(); due; due = Step()) m_network.Time().SleepUntil(*due);
}

}  // namespace pelmora
