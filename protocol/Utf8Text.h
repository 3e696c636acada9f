#pragma once
// UTF-8 handling for element texts: texts stay Unicode from the device to the user and back.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmora {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

// The text of an element value: the bytes before the first NUL, each ill-formed UTF-8 sequence replaced by
// U+FFFD (one per maximal ill-formed subpart), and at most maxCharacters code points kept.
std::string DecodeElementText(const std::uint8_t* value, std::size_t length, std::size_t maxCharacters);

// The largest byte count <= maxBytes at which utf8 can be cut without splitting a character.
std::size_t Utf8CutPoint(const std::string& utf8, std::size_t maxBytes);

bool IsValidUtf8(const std::string& text);
// Code points in well-formed UTF-8.
std::size_t CountCharacters(const std::string& utf8);

}  // namespace pelmora
