#pragma once
// Reading a small file whole, by a UTF-8 path.
#include <optional>
#include <string>

namespace pelmora {

// The file's bytes; nothing, with the system's reason in error, when it cannot be read or is larger
// than maxBytes.
std::optional<std::string> ReadFileWhole(const std::string& path, std::size_t maxBytes, std::string& error);

}  // namespace pelmora
