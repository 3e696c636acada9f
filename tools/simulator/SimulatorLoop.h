#pragma once
// The event loop: reads the socket, hands datagrams to the responder and sends its answers on
// time, until the lifetime ends or a stop signal arrives.
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/simulator/EventLog.h"
#include "tools/simulator/Responder.h"
#include "tools/simulator/SimSocket.h"

namespace pelmora {

struct LoopTiming {
    std::chrono::milliseconds replyDelay{0};
    std::chrono::microseconds replyGap{0};
    std::chrono::milliseconds lifetime{120000};
};

class SimulatorLoop {
public:
    SimulatorLoop(Responder& responder, SimSocket& socket, EventLog& log, LoopTiming timing);
    // Returns why it stopped: "lifetime" or "signal NAME". signalFd is a signalfd for the stop signals.
    std::string Run(int signalFd);
    std::uint64_t ReceivedCount() const { return m_received; }
    std::uint64_t SentCount() const { return m_sent; }

private:
    struct Pending {
        Clock::time_point due;
        Outgoing out;
        ArrivalPath path;
    };
    void Drain(std::size_t limit);
    void SendDue(std::size_t limit);

    Responder& m_responder;
    SimSocket& m_socket;
    EventLog& m_log;
    LoopTiming m_timing;
    std::deque<Pending> m_queue;
    Clock::time_point m_lastDue{};
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_received = 0;
    std::uint64_t m_sent = 0;
};

}  // namespace pelmora
