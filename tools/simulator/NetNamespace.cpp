#include "tools/simulator/NetNamespace.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace pelmora {
namespace {

constexpr ino_t INITIAL_NET_NAMESPACE_INODE = 0xEFFFFFF9;  // the kernel's PROC_NET_INIT_INO

bool IsKthreadd(const std::string& pid) {
    std::ifstream comm("/proc/" + pid + "/comm");
    std::string name;
    return std::getline(comm, name) && name == "kthreadd";
}

}  // namespace

NamespaceVerdict CompareNetNamespaces(const std::string& ours, const std::string& reference, std::string& detail) {
    struct stat own {};
    struct stat other {};
    if (stat(ours.c_str(), &own) != 0) {
        detail = "cannot read " + ours + ": " + std::strerror(errno);
        return NamespaceVerdict::Unknown;
    }
    if (stat(reference.c_str(), &other) != 0) {
        detail = "cannot read " + reference + ": " + std::strerror(errno);
        return NamespaceVerdict::Unknown;
    }
    detail =
        "net namespace inode " + std::to_string(own.st_ino) + ", " + reference + " has " + std::to_string(other.st_ino);
    return own.st_dev == other.st_dev && own.st_ino == other.st_ino ? NamespaceVerdict::Initial
                                                                    : NamespaceVerdict::Private;
}

NamespaceVerdict CheckNetNamespace(std::string& detail) {
    const std::string ours = "/proc/self/ns/net";
    NamespaceVerdict verdict = CompareNetNamespaces(ours, "/proc/1/ns/net", detail);
    if (verdict != NamespaceVerdict::Unknown) return verdict;
    std::string tried = detail;
    if (IsKthreadd("2")) {
        verdict = CompareNetNamespaces(ours, "/proc/2/ns/net", detail);
        if (verdict != NamespaceVerdict::Unknown) return verdict;
        tried += "; " + detail;
    }
    struct stat own {};
    if (stat(ours.c_str(), &own) == 0 && own.st_ino == INITIAL_NET_NAMESPACE_INODE) {
        detail = tried + "; net namespace inode " + std::to_string(own.st_ino) + " is the initial namespace's";
        return NamespaceVerdict::Initial;
    }
    detail = tried;
    return NamespaceVerdict::Unknown;
}

}  // namespace pelmora
