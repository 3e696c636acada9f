#include "tools/simulator/SimulatorLoop.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "protocol/PacketEnvelope.h"
#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

constexpr std::size_t RECEIVE_BUFFER = 65536;  // room for any UDP datagram, so oversize ones are logged whole
constexpr std::size_t DRAIN_LIMIT = 256;
constexpr std::size_t SEND_BATCH = 32;  // sends between two drains, so our own looped-back broadcasts do not pile up

std::string Endpoint(Ipv4Octets address, std::uint16_t port) { return ToText(address) + ":" + std::to_string(port); }

}  // namespace

SimulatorLoop::SimulatorLoop(Responder& responder, SimSocket& socket, EventLog& log, LoopTiming timing)
    : m_responder(responder), m_socket(socket), m_log(log), m_timing(timing), m_buffer(RECEIVE_BUFFER) {}

void SimulatorLoop::Drain(std::size_t limit) {
    SimSocket::Datagram datagram;
    for (std::size_t n = 0; n < limit && m_socket.Receive(m_buffer.data(), m_buffer.size(), datagram); ++n) {
        ++m_received;
        Received in;
        in.data = m_buffer.data();
        in.size = datagram.size;
        in.truncated = datagram.truncated;
        in.from = datagram.from;
        in.fromPort = datagram.fromPort;
        in.to = datagram.to;
        in.toPort = simwire::PORT;
        in.now = Clock::now();
        std::vector<Outgoing> answers = m_responder.Handle(in);
        Clock::time_point due = std::max(in.now + m_timing.replyDelay, m_lastDue + m_timing.replyGap);
        for (Outgoing& out : answers) {
            m_queue.push_back({due, std::move(out), datagram.path});
            m_lastDue = due;
            due += m_timing.replyGap;
        }
    }
}

void SimulatorLoop::SendDue(std::size_t limit) {
    for (std::size_t n = 0; n < limit && !m_queue.empty() && m_queue.front().due <= Clock::now(); ++n) {
        Pending pending = std::move(m_queue.front());
        m_queue.pop_front();
        const int failure = m_socket.Send(pending.out.bytes, pending.out.to, pending.out.port, pending.path);
        JsonObject record;
        record.AddText("dir", "out")
            .AddText("peer", Endpoint(pending.out.to, pending.out.port))
            .AddText("local", Endpoint(pending.path.localAddress, simwire::PORT))
            .AddNumber("len", static_cast<std::int64_t>(pending.out.bytes.size()))
            .AddText("hex", HexBytes(pending.out.bytes.data(), pending.out.bytes.size()));
        if (failure != 0) {
            record.AddText("error", std::strerror(failure));
        } else {
            ++m_sent;
        }
        record.Merge(pending.out.fields);
        m_log.Write(record);
    }
}

std::string SimulatorLoop::Run(int signalFd) {
    const Clock::time_point deadline = Clock::now() + m_timing.lifetime;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return "lifetime";
        const std::optional<Clock::time_point> move = m_responder.Advance(now);
        int timeout = 0;
        if (m_queue.empty() || m_queue.front().due > now) {
            Clock::time_point next = deadline;
            if (!m_queue.empty()) next = std::min(next, m_queue.front().due);
            if (move) next = std::min(next, *move);
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            timeout = static_cast<int>(std::min<long long>(wait.count(), 1000));
            m_log.Flush();
        }
        pollfd fds[2] = {{m_socket.Descriptor(), POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) return std::string("poll: ") + std::strerror(errno);
        if ((fds[1].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            if (read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                return std::string("signal SIG") + sigabbrev_np(static_cast<int>(info.ssi_signo));
            }
            return "signal";
        }
        if ((fds[0].revents & POLLIN) != 0) Drain(DRAIN_LIMIT);
        SendDue(SEND_BATCH);
    }
}

}  // namespace pelmora
