#include <linux/capability.h>
#include <net/if.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/AddressTable.h"
#include "tests/platform/SocketHelpers.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

constexpr std::size_t TABLE_ROWS = 116;  // what a 2800-byte address table holds
const Ipv4Net MASK_24 = Address(255, 255, 255, 0);
const Ipv4Net MASK_32 = Address(255, 255, 255, 255);

std::vector<Ipv4Net> AddressesOf(const std::vector<AddressRow>& table) {
    std::vector<Ipv4Net> addresses;
    for (const AddressRow& row : table) addresses.push_back(row.address);
    return addresses;
}

bool Contains(const std::vector<AddressRow>& table, Ipv4Net address) {
    return std::any_of(table.begin(), table.end(), [&](const AddressRow& row) { return row.address == address; });
}

class AddressE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }
    int ExtraIndex() { return static_cast<int>(if_nametoindex(TheLab().ExtraInterface(1).c_str())); }
};

TEST_F(AddressE2e, TableListsThePcNamespaceAddressesLoopbackFirst) {
    const auto table = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(table);
    EXPECT_EQ(AddressesOf(*table), (std::vector<Ipv4Net>{Address(127, 0, 0, 1), Lab::DefaultPcAddress()}));
    EXPECT_EQ(table->at(0).ifIndex, 1) << "loopback is link 1";
    EXPECT_NE(table->at(1).ifIndex, 1);
    EXPECT_TRUE(ReadIpv4AddressTable(2));
    EXPECT_FALSE(ReadIpv4AddressTable(1)) << "a table with more rows than room is no table";
}

TEST_F(AddressE2e, MoreThan116AddressesMakeTheReadFail) {
    const int extra = ExtraIndex();
    ASSERT_GT(extra, 0);
    // Loopback and the PC's address are already there: 114 more fill the table exactly.
    for (int i = 0; i < 114; ++i)
        ASSERT_TRUE(AddIpv4Address(extra, Address(10, 9, 0, static_cast<std::uint8_t>(i + 1)), MASK_32)) << i;
    const auto full = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), TABLE_ROWS);
    std::vector<Ipv4Net> added;
    for (const Ipv4Net row : AddressesOf(*full))
        if (ToOctets(row).bytes[0] == 10) added.push_back(row);
    ASSERT_EQ(added.size(), 114u);
    for (std::size_t i = 0; i < added.size(); ++i)
        EXPECT_EQ(added[i], Address(10, 9, 0, static_cast<std::uint8_t>(i + 1)))
            << "rows of one interface keep their order";

    ASSERT_TRUE(AddIpv4Address(extra, Address(10, 9, 1, 1), MASK_32));
    EXPECT_FALSE(ReadIpv4AddressTable(TABLE_ROWS)) << "117 addresses";
}

TEST_F(AddressE2e, AddedAddressAppearsAndItsDeletionRemovesIt) {
    const int extra = ExtraIndex();
    ASSERT_GT(extra, 0);
    const Ipv4Net address = Address(10, 1, 2, 3);

    const auto context = AddIpv4Address(extra, address, MASK_24);
    ASSERT_TRUE(context);
    EXPECT_EQ(context->ifIndex, extra);
    EXPECT_EQ(context->address, address);
    EXPECT_EQ(context->prefixLength, 24);
    const auto table = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(table);
    EXPECT_TRUE(Contains(*table, address));
    const CommandResult shown = RunInPc({"ip", "-o", "-4", "address", "show", "dev", TheLab().ExtraInterface(1)});
    EXPECT_NE(shown.output.find("10.1.2.3/24 brd 10.1.2.255"), std::string::npos) << shown.output;

    EXPECT_FALSE(AddIpv4Address(extra, address, MASK_24)) << "an address already there is not ours to delete later";

    EXPECT_TRUE(DeleteIpv4Address(*context));
    const auto after = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(after);
    EXPECT_FALSE(Contains(*after, address));
    EXPECT_EQ(after->size(), 2u);
    EXPECT_FALSE(DeleteIpv4Address(*context)) << "deleting twice";
}

TEST_F(AddressE2e, RefusesMasksThatAreNotContiguousAndUnknownInterfaces) {
    EXPECT_FALSE(AddIpv4Address(ExtraIndex(), Address(10, 1, 2, 3), Address(255, 0, 255, 0)));
    EXPECT_FALSE(AddIpv4Address(0, Address(10, 1, 2, 3), MASK_24));
    EXPECT_FALSE(AddIpv4Address(9999, Address(10, 1, 2, 3), MASK_24));
    const auto table = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2u);
}

// Drops CAP_NET_ADMIN from this process's effective and permitted sets, as an unprivileged user has.
bool DropNetAdmin() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    data[CAP_NET_ADMIN / 32].effective &= ~(1u << (CAP_NET_ADMIN % 32));
    data[CAP_NET_ADMIN / 32].permitted &= ~(1u << (CAP_NET_ADMIN % 32));
    return syscall(SYS_capset, &header, data) == 0;
}

// Runs body in a child process without CAP_NET_ADMIN; its exit status, and what it wrote.
std::pair<int, std::string> WithoutNetAdmin(int (*body)(int, const AddressContext&), int ifIndex,
                                            const AddressContext& context) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {-1, "pipe failed"};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        _exit(DropNetAdmin() ? body(ifIndex, context) : 90);
    }
    close(pipeFds[1]);
    std::string output;
    char chunk[512];
    ssize_t n;
    while ((n = read(pipeFds[0], chunk, sizeof chunk)) > 0) output.append(chunk, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status), output};
}

TEST_F(AddressE2e, WithoutNetAdminAddAndDeleteFailQuietly) {
    const int extra = ExtraIndex();
    ASSERT_GT(extra, 0);
    const auto kept = AddIpv4Address(extra, Address(10, 7, 7, 7), MASK_24);
    ASSERT_TRUE(kept);

    const auto [status, output] = WithoutNetAdmin(
        [](int ifIndex, const AddressContext& context) {
        if (AddIpv4Address(ifIndex, Address(10, 8, 8, 8), MASK_24)) return 1;
        if (DeleteIpv4Address(context)) return 2;
        if (!ReadIpv4AddressTable(TABLE_ROWS)) return 3;  // reading needs no privilege
        return 0;
        },
        extra, *kept);
    EXPECT_NE(status, 90) << "could not drop CAP_NET_ADMIN";
    EXPECT_NE(status, 1) << "the add succeeded without CAP_NET_ADMIN";
    EXPECT_NE(status, 2) << "the delete succeeded without CAP_NET_ADMIN";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, "") << "failures must print nothing";

    const auto table = ReadIpv4AddressTable(TABLE_ROWS);
    ASSERT_TRUE(table);
    EXPECT_FALSE(Contains(*table, Address(10, 8, 8, 8)));
    EXPECT_TRUE(Contains(*table, Address(10, 7, 7, 7)));
    EXPECT_TRUE(DeleteIpv4Address(*kept));
}

}  // namespace
}  // namespace pelmora::test
