#pragma once
// Device texts as a person sees them, where a device's text must not change how the text around it reads.
#include <cstddef>
#include <optional>
#include <string>

namespace pelmora {

// The direction control (U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) whose three UTF-8 bytes start at
// `at` in well-formed UTF-8; nothing when none does.
std::optional<unsigned> DirectionControlAt(const std::string& utf8, std::size_t at);

// The text as well-formed UTF-8 (ill-formed sequences become U+FFFD) with every direction control shown as
// U+FFFD: a name such as "\u202Efdp.exe" would otherwise read "exe.pdf". Only for display: the device's own
// text is what is written back.
std::string ShownText(const std::string& text);

}  // namespace pelmora
