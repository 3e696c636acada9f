#pragma once
// The tagged element list (tag byte, length byte, value bytes) that carries device settings.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "protocol/WireFormat.h"

namespace pelmora {

using ElementList = std::vector<std::uint8_t>;
// The reply store: MacKey -> element list of the device's latest reply, in ascending MAC order.
using ReplyStore = std::map<std::string, ElementList>;

bool CheckElementList(const std::uint8_t* data, std::size_t size);
inline bool CheckElementList(const ElementList& list) { return CheckElementList(list.data(), list.size()); }

// Offset of the value of the first element with this tag and length; -1 when there is none. The walk
// stops at an element that does not fit, so a malformed list is never read beyond its end.
long FindElement(const ElementList& list, std::uint8_t tag, std::uint8_t length);
// The first element of this kind at its own width (for the MAC: tag 1, length 6).
inline long FindElement(const ElementList& list, ElementSpec kind) { return FindElement(list, kind.tag, kind.width); }

// The MacKey of the list's MAC element; empty when the list has none.
std::string MacKey(const ElementList& list);

// Appends one element; a value longer than 255 bytes is cut to 255.
void AppendElement(ElementList& list, std::uint8_t tag, const std::uint8_t* value, std::size_t length);
// Appends a UTF-8 text element cut to at most 255 bytes at a character boundary.
void AppendTextElement(ElementList& list, std::uint8_t tag, const std::string& utf8);

// The reply checks of a received payload: at least 3 bytes, beginning 00 03, then a well-formed element
// list with a MAC element. On success list holds payload bytes 2 to the end.
bool ExtractReplyList(const std::uint8_t* payload, std::size_t size, ElementList& list);

}  // namespace pelmora
