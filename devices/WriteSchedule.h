#pragma once
// The writes of a plan, overlapping in time: at most MAX_OVERLAPPED_WRITES devices at once, each getting
// the single-device write unchanged, stepped on the network's clock so that a window can repaint in
// between. A neighbour flush of an address that was flushed at the same moment is not repeated: every
// device's write flushes the broadcast address's entry, and the Linux helper serves 4 flushes a second.
#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "devices/ConfigWrite.h"
#include "devices/DeviceSettings.h"

namespace pelmora {

constexpr std::size_t MAX_OVERLAPPED_WRITES = 8;

class WriteSchedule {
public:
    // Both are borrowed for the schedule's life.
    WriteSchedule(DeviceNetwork& network, ReplyStore& replies, std::vector<DeviceSettings> writes);

    // Does every step that is due now, starting writes as others end; the time to call again, or
    // nothing once every write is over.
    std::optional<Clock::TimePoint> Step();
    // Steps to the end, sleeping on the network's clock.
    void Run();

    std::size_t Total() const { return m_writes.size(); }
    std::size_t Finished() const { return m_finished; }
    // The settings as they were written ("#" replaced, BBMD emptied when not foreign).
    const std::vector<DeviceSettings>& Written() const { return m_writes; }

private:
    struct Active {
        std::size_t index;
        std::unique_ptr<ConfigWriteRun> run;
        Clock::TimePoint due;
    };
    void Flush(Ipv4Host address);

    DeviceNetwork& m_network;
    ReplyStore& m_replies;
    std::vector<DeviceSettings> m_writes;
    std::vector<Active> m_active;
    std::size_t m_next = 0;
    std::size_t m_finished = 0;
    Clock::TimePoint m_flushTime{};
    std::set<std::uint32_t> m_flushedNow;
};

}  // namespace pelmora
