#pragma once
// Reading a small file whole, by a UTF-8 path.
#include <cstdio>
#include <optional>
#include <string>

namespace pelmora {

// The file's bytes; nothing, with the system's reason in error, when it cannot be read or is larger
// than maxBytes.
std::optional<std::string> ReadFileWhole(const std::string& path, std::size_t maxBytes, std::string& error);

// The file opened for reading in binary mode, by the system's call for a UTF-8 path (one per OS);
// null, with errno set, when it cannot be.
std::FILE* OpenForReading(const std::string& path);

}  // namespace pelmora
