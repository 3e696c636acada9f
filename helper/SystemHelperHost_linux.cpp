#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "helper/SystemHelperHost.h"
#include "platform/Neighbours.h"

namespace pelmora {

namespace {

constexpr std::chrono::milliseconds LOCK_RETRY{10};

}  // namespace

SystemHelperHost::~SystemHelperHost() { UnlockAdds(); }

std::optional<std::vector<AdapterInfo>> SystemHelperHost::ListLinks() { return ListAdapters(); }

std::optional<std::vector<Subnet>> SystemHelperHost::ReachedSubnets() {
    const auto addresses = ReadIpv4AddressTable(SIZE_MAX);
    const auto routes = ReadIpv4Routes();
    if (!addresses || !routes) return std::nullopt;
    return pelmora::ReachedSubnets(*addresses, *routes);
}

std::optional<AddressContext> SystemHelperHost::AddAddress(int ifIndex, Ipv4Net address,
                                                           std::chrono::seconds lifetime) {
    return AddIpv4Address(ifIndex, address, ToNet(TEMPORARY_MASK), lifetime);
}

bool SystemHelperHost::RenewAddress(const AddressContext& context, std::chrono::seconds lifetime) {
    return RenewIpv4Address(context, lifetime);
}

bool SystemHelperHost::DeleteAddress(const AddressContext& context) { return DeleteIpv4Address(context); }

std::optional<std::size_t> SystemHelperHost::DeleteNeighbours(Ipv4Net address) {
    return pelmora::DeleteNeighbours(address);
}

// The lock is the helper's own executable: only those who may run the helper can open it to hold it
// (a file in a shared directory could be made and held by anyone), and the kernel drops it however its
// holder ends.
bool SystemHelperHost::LockAdds() {
    UnlockAdds();
    m_lock = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (m_lock < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + LOCK_WAIT;
    for (;;) {
        if (flock(m_lock, LOCK_EX | LOCK_NB) == 0) return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(LOCK_RETRY);
    }
    UnlockAdds();
    return false;
}

void SystemHelperHost::UnlockAdds() {
    if (m_lock < 0) return;
    close(m_lock);
    m_lock = -1;
}

}  // namespace pelmora
