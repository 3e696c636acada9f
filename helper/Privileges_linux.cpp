#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

#include "helper/Privileges.h"

namespace pelmora {

void CloseOtherDescriptors() {
    if (close_range(3, ~0U, 0) == 0) return;
    const long limit = sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (limit > 0 ? limit : 1024); ++fd) close(fd);
}

bool KeepOnlyNetAdmin() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    const unsigned index = CAP_TO_INDEX(CAP_NET_ADMIN);
    const std::uint32_t bit = CAP_TO_MASK(CAP_NET_ADMIN);
    if ((data[index].permitted & bit) == 0) return false;
    for (__user_cap_data_struct& set : data) set = {};
    data[index].permitted = bit;
    data[index].effective = bit;
    if (syscall(SYS_capset, &header, data) != 0) return false;
    return prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) == 0 && prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}

}  // namespace pelmora
