#include "protocol/ElementList.h"

#include <utility>

#include "protocol/MacAddress.h"
#include "protocol/Utf8Text.h"

namespace pelmora {

namespace {

constexpr std::size_t ELEMENT_HEAD = 2;
constexpr std::size_t MAX_VALUE_LENGTH = 255;

}  // namespace

bool CheckElementList(const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos < size) {
        if (size - pos < ELEMENT_HEAD) return false;
        const std::size_t valueLength = data[pos + 1];
        if (size - pos - ELEMENT_HEAD < valueLength) return false;
        pos += ELEMENT_HEAD + valueLength;
    }
    return true;
}

long FindElement(const ElementList& list, std::uint8_t tag, std::uint8_t length) {
    const std::size_t size = list.size();
    std::size_t pos = 0;
    while (size - pos >= ELEMENT_HEAD) {
        const std::size_t valueLength = list[pos + 1];
        if (size - pos - ELEMENT_HEAD < valueLength) break;
        if (list[pos] == tag && valueLength == length) return static_cast<long>(pos + ELEMENT_HEAD);
        pos += ELEMENT_HEAD + valueLength;
    }
    return -1;
}

std::string MacKey(const ElementList& list) {
    const long offset = FindElement(list, reply::MAC);
    if (offset < 0) return std::string();
    std::uint8_t mac[reply::MAC.width];
    for (std::size_t i = 0; i < reply::MAC.width; ++i) mac[i] = list[static_cast<std::size_t>(offset) + i];
    return MacKey(mac);
}

void AppendElement(ElementList& list, std::uint8_t tag, const std::uint8_t* value, std::size_t length) {
    const std::size_t taken = length < MAX_VALUE_LENGTH ? length : MAX_VALUE_LENGTH;
    list.push_back(tag);
    list.push_back(static_cast<std::uint8_t>(taken));
    if (taken > 0) list.insert(list.end(), value, value + taken);
}

void AppendTextElement(ElementList& list, std::uint8_t tag, const std::string& utf8) {
    const std::size_t length = Utf8CutPoint(utf8, MAX_VALUE_LENGTH);
    AppendElement(list, tag, reinterpret_cast<const std::uint8_t*>(utf8.data()), length);
}

bool ExtractReplyList(const std::uint8_t* payload, std::size_t size, ElementList& list) {
    if (payload == nullptr || size < 3 || payload[0] != PAYLOAD_LEAD || payload[1] != CMD_DISCOVERY_REPLY) return false;
    const std::uint8_t* elements = payload + 2;
    const std::size_t elementsSize = size - 2;
    if (!CheckElementList(elements, elementsSize)) return false;
    ElementList candidate(elements, elements + elementsSize);
    if (FindElement(candidate, reply::MAC) < 0) return false;
    list = std::move(candidate);
    return true;
}

}  // namespace pelmora
