// Bytes from the network through everything a discovery reply meets: the envelope, the reply checks,
// the record parser and the row texts. Each input is tried twice: as a received datagram, and as a
// payload sealed and opened again, which is how the fuzzer reaches the decoders behind the checks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "listing/RowTexts.h"
#include "protocol/DeviceRecord.h"
#include "protocol/ElementList.h"
#include "protocol/MacAddress.h"
#include "protocol/PacketEnvelope.h"
#include "protocol/Utf8Text.h"
#include "protocol/WireFormat.h"

namespace {

using namespace pelmora;

constexpr std::size_t MAX_INPUT = 4096;

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireText(const std::string& text) {
    Require(IsValidUtf8(text));
    Require(CountCharacters(text) <= MAX_TEXT_CHARACTERS);
    Require(text.find('\0') == std::string::npos);
    // A text sent back to the device reads back unchanged.
    ElementList list;
    AppendTextElement(list, reply::DEVICE_NAME.tag, text);
    DeviceRecord again;
    ParseDeviceRecord(again, list);
    Require(again.deviceName == text);
}

void HandleReply(const std::uint8_t* payload, std::size_t size) {
    ElementList list;
    if (!ExtractReplyList(payload, size, list)) return;
    Require(CheckElementList(list));
    const long macOffset = FindElement(list, reply::MAC.tag, reply::MAC.width);
    Require(macOffset >= 2 && static_cast<std::size_t>(macOffset) + reply::MAC.width <= list.size());
    const std::string key = MacKey(list);
    Require(key.size() == 12);

    DeviceRecord record;
    ParseDeviceRecord(record, list);
    Require(MacKey(record.mac) == key);
    for (const std::string* text :
         {&record.tag102Text, &record.description, &record.deviceName, &record.location, &record.bbmdAddress}) {
        RequireText(*text);
    }
    Require(record.dhcp == 0 || record.dhcp == 1);
    for (const std::string& text : RowTexts(record)) Require(IsValidUtf8(text));
}

void AsDatagram(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> buffer(data, data + size);
    auto length = static_cast<std::uint32_t>(size);
    std::uint8_t* payload = OpenPacket(buffer.data(), length);
    if (payload == nullptr) {
        Require(length <= OPEN_BAD_HEAD_CHECK);
        return;
    }
    Require(payload == buffer.data() + (size > 256 ? 12 : 8));
    Require(payload + length == buffer.data() + size);
    HandleReply(payload, length);
}

void AsPayload(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> body(data, data + size);
    std::uint8_t header[HEADER_CAPACITY];
    BufferPart parts[2] = {{HEADER_CAPACITY, header}, {static_cast<std::uint32_t>(size), body.data()}};
    Require(SealPacket(parts));
    std::vector<std::uint8_t> datagram(header, header + parts[0].length);
    datagram.insert(datagram.end(), body.begin(), body.end());
    auto length = static_cast<std::uint32_t>(datagram.size());
    const std::uint8_t* payload = OpenPacket(datagram.data(), length);
    Require(payload != nullptr && length == size);
    Require(size == 0 || std::memcmp(payload, data, size) == 0);
    HandleReply(payload, length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_INPUT) return 0;
    AsDatagram(data, size);
    AsPayload(data, size);
    return 0;
}
