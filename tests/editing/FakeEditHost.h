#pragma once
// A main window stand-in for the edit dialog: a reply store and a network that records what it is
// asked to send and flush, and sends nothing.
#include <chrono>
#include <optional>
#include <vector>

#include "DeviceNetwork.h"
#include "EditHost.h"

namespace pelmora::test {

struct NetworkCall {
    enum class Kind { SendTwice, Flush } kind;
    std::vector<std::uint8_t> payload;  // SendTwice only
    Ipv4Host address;
    std::chrono::steady_clock::time_point at;
};

class FakeNetwork final : public DeviceNetwork {
public:
    std::optional<InterfaceTable> ReadInterfaceTable() override { return std::nullopt; }
    bool Discover(const InterfaceTable&, Ipv4Host, ReplyStore&) override { return false; }
    void SendWink(const ElementList&) override {}
    void SendTwice(const std::vector<std::uint8_t>& payload, Ipv4Host destination) override {
        calls.push_back({NetworkCall::Kind::SendTwice, payload, destination, std::chrono::steady_clock::now()});
    }
    void FlushArpEntries(Ipv4Host address) override {
        calls.push_back({NetworkCall::Kind::Flush, {}, address, std::chrono::steady_clock::now()});
    }

    std::vector<NetworkCall> Sends() const {
        std::vector<NetworkCall> sends;
        for (const NetworkCall& call : calls)
            if (call.kind == NetworkCall::Kind::SendTwice) sends.push_back(call);
        return sends;
    }

    std::vector<NetworkCall> calls;
};

class FakeEditHost final : public EditHost {
public:
    ReplyStore& Replies() override { return replies; }
    DeviceNetwork& Network() override { return network; }

    ReplyStore replies;
    FakeNetwork network;
};

}  // namespace pelmora::test
