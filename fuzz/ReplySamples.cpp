#include "fuzz/ReplySamples.h"

#include <string>

#include "protocol/ElementList.h"
#include "protocol/WireFormat.h"

namespace pelmora::fuzz {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Add(ElementList& list, std::uint8_t tag, const Bytes& value) {
    AppendElement(list, tag, value.data(), value.size());
}

Bytes Payload(const ElementList& list) {
    Bytes payload = {0x00, 0x03};
    payload.insert(payload.end(), list.begin(), list.end());
    return payload;
}

ElementList Device(std::uint8_t last, bool bacnet) {
    ElementList list;
    Add(list, reply::MAC.tag, {0x00, 0x50, 0xC2, 0x7E, 0x10, last});
    Add(list, 3, {0x00, 0x00, 0xC0, 0x3F});
    Add(list, 5, {0x00, 0x01});
    Add(list, 6, {0x34, 0x12});
    Add(list, 34, {1, 4, 2, 17});
    Add(list, 35, {0x78, 0x56});
    Add(list, 36, {0, 0, 0, static_cast<std::uint8_t>(bacnet ? 0x10 : 0x01)});
    Add(list, 64, {192, 168, 1, last});
    Add(list, 65, {255, 255, 255, 0});
    Add(list, 66, {192, 168, 1, 1});
    Add(list, 68, {192, 168, 1, 1});
    Add(list, 69, {8, 8, 8, 8});
    Add(list, 105, {1, last});
    Add(list, 106, {0});
    Add(list, 124, {0xFF, 0xFF, 0xFF, 0xFF});
    Add(list, 127, {0xC0, 0xBA});
    Add(list, 130, {0, 0, 0, 1});
    AppendTextElement(list, reply::TEXT_102.tag, "v2");
    AppendTextElement(list, reply::DESCRIPTION.tag, "Heating circuit controller");
    AppendTextElement(list, reply::DEVICE_NAME.tag, "GW-$");
    AppendTextElement(list, reply::BBMD_ADDRESS.tag, "");
    AppendTextElement(list, reply::LOCATION.tag,
                      "Kesselraum S\xC3\xBC"
                      "d");
    return list;
}

}  // namespace

std::vector<Bytes> ReplyPayloadSamples() {
    std::vector<Bytes> samples;
    samples.push_back(Payload(Device(0x21, true)));
    samples.push_back(Payload(Device(0x22, false)));

    ElementList minimal;
    Add(minimal, reply::MAC.tag, {0x02, 0x00, 0x00, 0x00, 0x00, 0x01});
    samples.push_back(Payload(minimal));

    // Long enough for the long envelope form, with repeated and unknown tags.
    ElementList large = Device(0x23, true);
    AppendTextElement(large, reply::DEVICE_NAME.tag, std::string(200, 'N') + "$");
    Add(large, 64, {10, 0, 0, 9});
    Add(large, 200, Bytes(40, 0xAA));
    Add(large, 36, {0x00, 0x10, 0x00});
    Add(large, 130, {0x01});
    samples.push_back(Payload(large));
    return samples;
}

}  // namespace pelmora::fuzz
