#pragma once
// Network-namespace guards for end-to-end tests: nothing may send or change addresses in the machine's
// own namespace, so every check here aborts the process instead of failing a test.
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pelmora::test {

// The inode that names the network namespace behind a path such as /run/netns/NAME.
std::optional<ino_t> NamespaceInode(const std::string& path);
// The namespace the calling thread is in.
std::optional<ino_t> ThreadNamespaceInode();
// The namespace a socket lives in (it keeps the one it was made in, wherever the thread goes later).
std::optional<ino_t> SocketNamespaceInode(int fd);

// The machine's namespace: always the one this process started in, and PID 1's and the kernel threads'
// where those can be read.
bool IsMachineNamespace(ino_t inode);

// Abort (not skip) unless the calling thread, or the socket, is outside the machine's namespace.
void AbortIfMachineNamespace(const char* what);
void AbortUnlessLabSocket(std::intptr_t fd, const char* what);

// The calling thread inside a named namespace (/run/netns/NAME) until destruction, which returns it to
// the namespace it came from. Sockets made meanwhile stay in the entered namespace.
class NamespaceEntry {
public:
    // Nothing when the namespace cannot be opened; aborts when setns seems to succeed but the thread
    // did not arrive there.
    static std::unique_ptr<NamespaceEntry> Enter(const std::string& name);
    ~NamespaceEntry();
    NamespaceEntry(const NamespaceEntry&) = delete;
    NamespaceEntry& operator=(const NamespaceEntry&) = delete;

private:
    NamespaceEntry(int originalFd, ino_t originalInode) : m_originalFd(originalFd), m_originalInode(originalInode) {}
    int m_originalFd;
    ino_t m_originalInode;
};

}  // namespace pelmora::test
