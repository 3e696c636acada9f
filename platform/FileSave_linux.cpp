#include "platform/FileSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pelmora {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool SaveFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    std::string pattern = FolderOf(path) + "/.pelmora-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const auto fail = [&](int code) {
        error = std::strerror(code);
        close(fd);
        unlink(name.data());
        return false;
    };
    // The file gets the permissions a newly created file would get, not mkstemp's owner-only ones.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0) return fail(errno);
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return fail(written < 0 ? errno : EIO);
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (fsync(fd) != 0) return fail(errno);
    if (close(fd) != 0) {
        error = std::strerror(errno);
        unlink(name.data());
        return false;
    }
    if (rename(name.data(), path.c_str()) != 0) {
        error = std::strerror(errno);
        unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace pelmora
