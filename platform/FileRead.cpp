#include "platform/FileRead.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace pelmora {

std::optional<std::string> ReadFileWhole(const std::string& path, std::size_t maxBytes, std::string& error) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenForReading(path), &std::fclose);
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        bytes.append(buffer, n);
        if (bytes.size() > maxBytes) {
            error = "larger than " + std::to_string(maxBytes) + " bytes";
            return std::nullopt;
        }
    }
    if (std::ferror(file.get()) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace pelmora
