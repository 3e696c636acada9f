// Costs of the protocol core: cipher throughput, sealing and opening packets, parsing a reply.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "listing/RowTexts.h"
#include "protocol/DeviceRecord.h"
#include "protocol/ElementList.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/Sapphire.h"
#include "protocol/WireFormat.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* PacketKey() { return reinterpret_cast<const std::uint8_t*>(PACKET_KEY_TEXT); }

Bytes Filled(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 31 + 7);
    return b;
}

// The element list of a typical discovery reply: IP settings, BACnet settings and short texts.
ElementList TypicalReply() {
    ElementList list;
    const std::uint8_t mac[6] = {0x00, 0x50, 0xC2, 0xAB, 0x12, 0x34};
    const auto add = [&list](std::uint8_t tag, Bytes value) { AppendElement(list, tag, value.data(), value.size()); };
    AppendElement(list, reply::MAC.tag, mac, 6);
    add(34, {1, 4, 2, 17});
    add(36, {0, 0, 0, 0x10});
    add(64, {192, 168, 1, 20});
    add(65, {255, 255, 255, 0});
    add(66, {192, 168, 1, 1});
    add(68, {192, 168, 1, 1});
    add(69, {0, 0, 0, 0});
    add(105, {1, 2});
    add(106, {0});
    add(124, {0xD2, 0x04, 0, 0});
    add(127, {0xC0, 0xBA});
    add(130, {0, 0, 0, 0});
    AppendTextElement(list, reply::DEVICE_NAME.tag, "Gateway-$");
    AppendTextElement(list, reply::LOCATION.tag, "Plant room 2, east wall");
    AppendTextElement(list, reply::DESCRIPTION.tag, "Heating circuit controller");
    AppendTextElement(list, reply::BBMD_ADDRESS.tag, "");
    return list;
}

void BM_CipherThroughput(benchmark::State& state) {
    Bytes data = Filled(64 * 1024);
    SapphireEncryption cipher(PacketKey(), PACKET_KEY_LENGTH);
    for (auto _ : state) {
        cipher.CipherInPlace(data.data(), data.size());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}
BENCHMARK(BM_CipherThroughput);

void BM_KeySetUp(benchmark::State& state) {
    for (auto _ : state) {
        SapphireDecryption cipher(PacketKey(), PACKET_KEY_LENGTH);
        benchmark::DoNotOptimize(cipher.Cards());
    }
}
BENCHMARK(BM_KeySetUp);

void BM_SealPacket(benchmark::State& state) {
    Bytes body = Filled(static_cast<std::size_t>(state.range(0)));
    std::uint8_t header[HEADER_CAPACITY];
    for (auto _ : state) {
        BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(body.size()), body.data()}};
        benchmark::DoNotOptimize(SealPacket(parts));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SealPacket)->Arg(77)->Arg(300);

// Sealing works in place, so every pass seals the previous pass's ciphertext: the same work on other bytes.
void BM_SealAndOpenPacket(benchmark::State& state) {
    Bytes body = Filled(static_cast<std::size_t>(state.range(0)));
    std::uint8_t header[HEADER_CAPACITY];
    Bytes datagram(HEADER_CAPACITY + body.size());
    for (auto _ : state) {
        BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(body.size()), body.data()}};
        SealPacket(parts);
        // What the gather send puts on the wire: header part, then payload part.
        std::copy(header, header + parts[0].length, datagram.begin());
        std::copy(body.begin(), body.end(), datagram.begin() + parts[0].length);
        std::uint32_t length = parts[0].length + parts[1].length;
        std::uint8_t* opened = OpenPacket(datagram.data(), length);
        if (opened == nullptr) state.SkipWithError("sealed packet did not open");
        benchmark::DoNotOptimize(opened);
    }
}
BENCHMARK(BM_SealAndOpenPacket)->Arg(77)->Arg(300);

void BM_ParseDeviceRecord(benchmark::State& state) {
    const ElementList list = TypicalReply();
    DeviceRecord record;
    for (auto _ : state) {
        ParseDeviceRecord(record, list);
        benchmark::DoNotOptimize(record);
    }
    state.SetLabel(std::to_string(list.size()) + "-byte list");
}
BENCHMARK(BM_ParseDeviceRecord);

void BM_ParseAndRowTexts(benchmark::State& state) {
    const ElementList list = TypicalReply();
    for (auto _ : state) {
        DeviceRecord record;
        ParseDeviceRecord(record, list);
        auto texts = RowTexts(record);
        benchmark::DoNotOptimize(texts);
    }
}
BENCHMARK(BM_ParseAndRowTexts);

}  // namespace
}  // namespace pelmora

BENCHMARK_MAIN();
