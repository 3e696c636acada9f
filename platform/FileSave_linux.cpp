#include "platform/FileSave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace pelmora {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process's umask, read without changing it (umask() would, for every thread, for a moment).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

}  // namespace

bool SaveFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    const auto fail = [&error](int code) {
        error = std::strerror(code);
        return false;
    };
    // A link is followed: the file it names is the one replaced, and the link stays.
    std::string target = path;
    std::vector<char> resolved(PATH_MAX + 1);
    struct stat existing {};
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (exists) {
        if (realpath(path.c_str(), resolved.data()) != nullptr) target = resolved.data();
        if (S_ISDIR(existing.st_mode)) return fail(EISDIR);
        // The rename below would replace a file the user may not write: refuse as writing it would.
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return fail(errno);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());

    const std::string pattern = FolderOf(target) + "/.pelmora-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return fail(errno);
    const auto discard = [&](int code) {
        close(fd);
        unlink(name.data());
        return fail(code);
    };
    if (fchmod(fd, mode) != 0) return discard(errno);
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return discard(written < 0 ? errno : EIO);
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (fsync(fd) != 0) return discard(errno);
    if (close(fd) != 0) {
        const int code = errno;
        unlink(name.data());
        return fail(code);
    }
    if (rename(name.data(), target.c_str()) != 0) {
        const int code = errno;
        unlink(name.data());
        return fail(code);
    }
    return true;
}

}  // namespace pelmora
