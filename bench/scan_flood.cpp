// scan-flood: a flood at the discovery scan, for bench/scan-figures.sh. Run only inside a lab device
// namespace. It waits for a discovery request from port 26487, then sends that requester malformed
// datagrams mixed with good replies of distinct made-up devices, all prepared beforehand, in bursts.
#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/UdpSocket.h"
#include "protocol/ElementList.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/WireFormat.h"

namespace {

using namespace pelmora;
using Bytes = std::vector<std::uint8_t>;

// True only when this process's network namespace is one of a lab's device namespaces (/run/netns/plm*-dN).
bool InLabDeviceNamespace() {
    struct stat self {};
    if (stat("/proc/self/ns/net", &self) != 0) return false;
    DIR* dir = opendir("/run/netns");
    if (dir == nullptr) return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat ns {};
        if (name.rfind("plm", 0) == 0 && name.find("-d") != std::string::npos &&
            stat(("/run/netns/" + name).c_str(), &ns) == 0 && ns.st_ino == self.st_ino && ns.st_dev == self.st_dev)
            found = true;
    }
    closedir(dir);
    return found;
}

Bytes Seal(Bytes payload) {
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(payload.size()), payload.data()}};
    SealPacket(parts);
    Bytes datagram(header, header + parts[0].length);
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

Bytes ReplyPayload(std::uint32_t n, std::uint8_t macLength) {
    ElementList list;
    const std::uint8_t mac[6] = {0x02,
                                 0xFE,
                                 static_cast<std::uint8_t>(n >> 24),
                                 static_cast<std::uint8_t>(n >> 16),
                                 static_cast<std::uint8_t>(n >> 8),
                                 static_cast<std::uint8_t>(n)};
    AppendElement(list, reply::MAC.tag, mac, macLength);
    AppendTextElement(list, reply::DEVICE_NAME.tag, "FLOOD-" + std::to_string(n));
    const std::uint8_t ip[4] = {10, 99, static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)};
    AppendElement(list, reply::IP_ADDRESS.tag, ip, sizeof ip);
    Bytes payload(2 + list.size());
    payload[1] = CMD_DISCOVERY_REPLY;
    std::copy(list.begin(), list.end(), payload.begin() + 2);
    return payload;
}

// Six kinds in turn: broken check, payload exactly 00 03, cut list, MAC of length 5, own request, junk.
Bytes Malformed(std::uint32_t i) {
    switch (i % 6) {
        case 0: {
            Bytes d = Seal(ReplyPayload(i, 6));
            d[d.size() / 2] ^= 0x5A;
            return d;
        }
        case 1: return Seal({0x00, CMD_DISCOVERY_REPLY});
        case 2: {
            Bytes p = ReplyPayload(i, 6);
            p.pop_back();
            return Seal(p);
        }
        case 3: return Seal(ReplyPayload(i, 5));
        case 4: return Seal({0x00, CMD_DISCOVERY_REQUEST});
        default: {
            Bytes junk(1 + i % 300);
            for (std::size_t k = 0; k < junk.size(); ++k) junk[k] = static_cast<std::uint8_t>(i * 31 + k * 7);
            return junk;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: scan-flood MALFORMED MACS BURST PAUSE_US\n");
        return 2;
    }
    if (!InLabDeviceNamespace()) {
        std::fprintf(stderr, "scan-flood: refusing to run outside a lab device namespace\n");
        return 1;
    }
    const auto malformed = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10));
    const auto macs = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const auto burst = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
    const auto pause = std::chrono::microseconds(std::strtoul(argv[4], nullptr, 10));

    // One good reply after every (malformed / macs) broken ones, so both kinds arrive throughout.
    std::vector<Bytes> datagrams;
    datagrams.reserve(malformed + macs);
    const std::uint32_t every = macs > 0 ? malformed / macs + 1 : 0;
    for (std::uint32_t i = 0, good = 0, bad = 0; good < macs || bad < malformed; ++i) {
        if (good < macs && (bad >= malformed || i % every == 0)) datagrams.push_back(Seal(ReplyPayload(good++, 6)));
        else datagrams.push_back(Malformed(bad++));
    }

    auto socket = OpenPortSocket(ToNet(ANY_ADDRESS), DEVICE_PORT);
    if (!socket) {
        std::fprintf(stderr, "scan-flood: cannot bind 0.0.0.0:%u\n", unsigned{DEVICE_PORT});
        return 1;
    }
    std::printf("READY %zu datagrams\n", datagrams.size());
    std::fflush(stdout);

    std::uint8_t buffer[MAX_DATAGRAM];
    Ipv4Net requester;
    for (bool heard = false; !heard;) {
        if (!WaitReadable({&*socket}, std::chrono::steady_clock::now() + std::chrono::seconds(60))) return 1;
        while (auto got = socket->Receive(buffer, sizeof buffer)) {
            if (got->fromPort == DEVICE_PORT && got->length == 10) {
                requester = got->from;
                heard = true;
            }
        }
    }
    std::size_t failed = 0;
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < datagrams.size(); ++i) {
        BufferPart parts[2] = {{static_cast<std::uint32_t>(datagrams[i].size()), datagrams[i].data()}, {0, nullptr}};
        if (socket->SendTo(parts, requester, DEVICE_PORT) != SendResult::Sent) ++failed;
        if (burst > 0 && (i + 1) % burst == 0) std::this_thread::sleep_for(pause);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::printf("SENT %zu to %s:%u in %.0f ms, %zu failed\n", datagrams.size() - failed, ToText(requester).c_str(),
                unsigned{DEVICE_PORT}, ms, failed);
    return 0;
}
