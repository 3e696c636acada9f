#pragma once
// The one boundary between the program's UTF-8 texts and the UTF-16 of Windows' wide-character calls.
// Never the ANSI code page: a character it lacks would come back as "?".
#include <string>
#include <string_view>

namespace pelmora {

// Invalid UTF-8 sequences become U+FFFD; nothing is dropped silently.
std::wstring WideFromUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view text);

}  // namespace pelmora
