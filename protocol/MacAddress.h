#pragma once
// The two texts of a MAC address: the key the reply store files a device under, and the form the
// user sees (and types, for pelmora-scan --wink).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pelmora {

using MacBytes = std::array<std::uint8_t, 6>;

// Twelve upper-case hex digits, first byte first ("0200000000FF"): the key of the reply store.
std::string MacKey(const std::uint8_t (&mac)[6]);
std::string MacKey(const MacBytes& mac);

// Six upper-case hex pairs with colons ("02:00:00:00:00:FF"), as the "Unit" column shows it.
std::string MacText(const std::uint8_t (&mac)[6]);
std::string MacText(const MacBytes& mac);

// The reverse of MacText, in either case; nothing for any other form.
std::optional<MacBytes> ParseMacText(const std::string& text);

}  // namespace pelmora
