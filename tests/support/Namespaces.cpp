#include "tests/support/Namespaces.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pelmora::test {

namespace {

std::optional<ino_t> InodeOfFd(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return std::nullopt;
    return st.st_ino;
}

// Taken before main, so before any test has moved a thread.
const std::optional<ino_t> g_startNamespace = NamespaceInode("/proc/self/ns/net");

[[noreturn]] void Abort(const char* what, const char* why) {
    std::fprintf(stderr, "ABORT: %s: %s; refusing to touch the machine's network\n", what, why);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

std::optional<ino_t> NamespaceInode(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_ino;
}

std::optional<ino_t> ThreadNamespaceInode() { return NamespaceInode("/proc/thread-self/ns/net"); }

std::optional<ino_t> SocketNamespaceInode(int fd) {
    const int nsFd = ioctl(fd, SIOCGSKNS);
    if (nsFd < 0) return std::nullopt;
    const auto inode = InodeOfFd(nsFd);
    close(nsFd);
    return inode;
}

bool IsMachineNamespace(ino_t inode) {
    if (!g_startNamespace || *g_startNamespace == inode) return true;
    // PID 1 may be out of reach (another user namespace, a container); kernel threads never leave the
    // initial namespace, and kthreadd is PID 2 wherever PIDs are the machine's.
    if (const auto pid1 = NamespaceInode("/proc/1/ns/net"); pid1 && *pid1 == inode) return true;
    std::ifstream comm("/proc/2/comm");
    std::string name;
    if (std::getline(comm, name) && name == "kthreadd") {
        if (const auto kernel = NamespaceInode("/proc/2/ns/net"); kernel && *kernel == inode) return true;
    }
    return false;
}

void AbortIfMachineNamespace(const char* what) {
    const auto inode = ThreadNamespaceInode();
    if (!inode) Abort(what, "cannot read this thread's network namespace");
    if (IsMachineNamespace(*inode)) Abort(what, "this thread is in the machine's network namespace");
}

void AbortUnlessLabSocket(std::intptr_t fd, const char* what) {
    const auto inode = SocketNamespaceInode(static_cast<int>(fd));
    if (!inode) Abort(what, "cannot read the socket's network namespace");
    if (IsMachineNamespace(*inode)) Abort(what, "the socket lives in the machine's network namespace");
}

std::unique_ptr<NamespaceEntry> NamespaceEntry::Enter(const std::string& name) {
    const int original = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (original < 0) return nullptr;
    const auto originalInode = InodeOfFd(original);
    const int target = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    const auto targetInode = target >= 0 ? InodeOfFd(target) : std::nullopt;
    if (!originalInode || !targetInode || setns(target, CLONE_NEWNET) != 0) {
        if (target >= 0) close(target);
        close(original);
        return nullptr;
    }
    close(target);
    const auto now = ThreadNamespaceInode();
    if (!now || *now != *targetInode) Abort(name.c_str(), "setns did not move this thread");
    AbortIfMachineNamespace(name.c_str());
    return std::unique_ptr<NamespaceEntry>(new NamespaceEntry(original, *originalInode));
}

NamespaceEntry::~NamespaceEntry() {
    if (setns(m_originalFd, CLONE_NEWNET) != 0) Abort("leaving a namespace", "setns back failed");
    close(m_originalFd);
    const auto now = ThreadNamespaceInode();
    if (!now || *now != m_originalInode) Abort("leaving a namespace", "this thread is not back where it came from");
}

}  // namespace pelmora::test
