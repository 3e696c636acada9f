// The network helper used as a member of netdev could use it: a copy holding cap_net_admin=ep, run as
// nobody in the lab's PC namespace and spoken to line by line (label e2e, root).
#include <net/if.h>
#include <signal.h>

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <thread>

#include "helper/HelperSession.h"
#include "platform/Adapters.h"
#include "platform/HelperChannel_linux.h"
#include "platform/Neighbours.h"
#include "tests/support/InstalledCopy.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

class HelperAttackE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }

    void SetUp() override {
        LabTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        std::string error;
        m_copy = InstalledCopy::Make("", PELMORA_NET_HELPER_PATH, true, error);
        ASSERT_TRUE(m_copy) << error;
        m_spare = static_cast<int>(if_nametoindex(TheLab().ExtraInterface(1).c_str()));
        ASSERT_GT(m_spare, 0);
    }

    void TearDown() override {
        m_copy.reset();
        LabTest::TearDown();
    }

    // The copy as nobody, past its greeting; null (with a failure) when it does not greet.
    std::unique_ptr<HelperChannel> StartHelper() {
        std::vector<std::string> argv = AsUnprivilegedUser();
        argv.push_back(m_copy->HelperPath());
        std::string error;
        auto channel = HelperChannel::Start(argv, 5000ms, error);
        EXPECT_TRUE(channel) << error;
        if (!channel) return nullptr;
        const auto greeting = channel->ReadLine();
        EXPECT_EQ(greeting, std::optional<std::string>(HELPER_GREETING));
        return greeting == std::optional<std::string>(HELPER_GREETING) ? std::move(channel) : nullptr;
    }

    std::vector<Ipv4Net> AddressesOn(int ifIndex) {
        std::vector<Ipv4Net> found;
        const auto links = ListAdapters();
        EXPECT_TRUE(links);
        for (const AdapterInfo& link : links.value_or(std::vector<AdapterInfo>{}))
            if (link.ifIndex == ifIndex)
                for (const auto& entry : link.unicast)
                    if (entry) found.push_back(*entry);
        return found;
    }

    std::string Add() const { return "ADD " + std::to_string(m_spare); }

    std::unique_ptr<InstalledCopy> m_copy;
    int m_spare = 0;
};

TEST_F(HelperAttackE2e, ANamedAddressAndVirtualLinksOfOtherKindsAreRefused) {
    const std::string macvlan = TheLab().Prefix() + "mv";
    const std::string tap = TheLab().Prefix() + "tp";
    ASSERT_EQ(RunInPc({"ip", "link", "add", macvlan, "link", TheLab().ExtraInterface(1), "type", "macvlan"}).exitStatus,
              0);
    ASSERT_EQ(RunInPc({"ip", "tuntap", "add", "mode", "tap", "name", tap}).exitStatus, 0);
    const int macvlanIndex = static_cast<int>(if_nametoindex(macvlan.c_str()));
    const int tapIndex = static_cast<int>(if_nametoindex(tap.c_str()));
    const auto helper = StartHelper();
    ASSERT_TRUE(helper);
    const std::pair<std::string, int> cases[] = {
        {Add() + " 10.20.30.53/24", m_spare},
        {"ADD " + std::to_string(macvlanIndex), macvlanIndex},
        {"ADD " + std::to_string(tapIndex), tapIndex},
    };
    for (const auto& [request, link] : cases) {
        const auto reply = helper->Exchange(request);
        ASSERT_TRUE(reply) << request;
        EXPECT_EQ(reply->rfind("ERR ", 0), 0u) << request << ": " << *reply;
        EXPECT_TRUE(AddressesOn(link).empty()) << request;
    }
}

TEST_F(HelperAttackE2e, AnAddDrawsAnAddressThatOutlivesAKilledHelperByLessThanItsLifetime) {
    const auto helper = StartHelper();
    ASSERT_TRUE(helper);
    const auto reply = helper->Exchange(Add());
    ASSERT_TRUE(reply);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(*reply, match, std::regex(R"(OK (10\.\d+\.\d+\.\d+)/24)"))) << *reply;
    Ipv4Octets drawn;
    ASSERT_TRUE(ParseIpv4(match[1].str(), drawn));
    EXPECT_EQ(AddressesOn(m_spare), std::vector<Ipv4Net>{ToNet(drawn)});
    const CommandResult shown = RunInPc({"ip", "-4", "-o", "address", "show", "dev", TheLab().ExtraInterface(1)});
    std::smatch lifetime;
    ASSERT_TRUE(std::regex_search(shown.output, lifetime, std::regex(R"(valid_lft (\d+)sec)"))) << shown.output;
    EXPECT_LE(std::stoi(lifetime[1].str()), TEMPORARY_LIFETIME.count());

    ASSERT_EQ(kill(helper->Pid(), SIGKILL), 0);
    const auto deadline = std::chrono::steady_clock::now() + TEMPORARY_LIFETIME + 10s;
    while (!AddressesOn(m_spare).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(AddressesOn(m_spare).empty()) << "the kernel removes the address once its lifetime runs out";
}

TEST_F(HelperAttackE2e, FlushLeavesFixedEntriesAndGatewaysAlone) {
    const std::string dev = TheLab().PcInterface();
    struct Case {
        const char* address;
        const char* state;
        const char* reply;
        std::size_t left;
    } cases[] = {{"192.168.92.77", "permanent", "OK 0", 1},
                 {"192.168.92.78", "noarp", "OK 0", 1},
                 {"192.168.92.79", "stale", "OK 0", 1},  // the gateway of the route below
                 {"192.168.92.80", "stale", "OK 1", 0}};
    for (const Case& c : cases)
        ASSERT_EQ(RunInPc({"ip", "neigh", "add", c.address, "lladdr", "02:00:00:00:00:77", "dev", dev, "nud", c.state})
                      .exitStatus,
                  0);
    ASSERT_EQ(RunInPc({"ip", "route", "add", "10.201.0.0/16", "via", "192.168.92.79"}).exitStatus, 0);
    const auto helper = StartHelper();
    ASSERT_TRUE(helper);
    for (const Case& c : cases) {
        EXPECT_EQ(helper->Exchange(std::string("FLUSH ") + c.address), std::optional<std::string>(c.reply))
            << c.address;
        Ipv4Octets address;
        ASSERT_TRUE(ParseIpv4(c.address, address));
        std::size_t left = 0;
        for (const NeighbourEntry& entry : ReadNeighbours().value_or(std::vector<NeighbourEntry>{}))
            if (entry.address == ToNet(address)) ++left;
        EXPECT_EQ(left, c.left) << c.address;
    }
}

TEST_F(HelperAttackE2e, TwentyHelpersAddingAtOnceLeaveOneAddress) {
    std::vector<std::unique_ptr<HelperChannel>> helpers;
    for (int i = 0; i < 20; ++i) {
        helpers.push_back(StartHelper());
        ASSERT_TRUE(helpers.back()) << i;
    }
    std::atomic<int> added{0};
    std::atomic<int> waiting{0};
    std::vector<std::thread> adders;
    for (const auto& helper : helpers)
        adders.emplace_back([&, channel = helper.get()] {
            // All twenty requests leave together, so that the helpers read the bare link at once.
            ++waiting;
            while (waiting.load() < 20) std::this_thread::yield();
            const auto reply = channel->Exchange(Add());
            if (reply && reply->rfind("OK 10.", 0) == 0) ++added;
        });
    for (std::thread& adder : adders) adder.join();
    EXPECT_EQ(added.load(), 1);
    EXPECT_EQ(AddressesOn(m_spare).size(), 1u);
}

TEST_F(HelperAttackE2e, NoLibraryReadsTheEnvironmentBeforeMain) {
    const CommandResult libraries = RunCommand({"ldd", m_copy->HelperPath()}, 10s);
    ASSERT_EQ(libraries.exitStatus, 0);
    EXPECT_EQ(libraries.output.find("libnl"), std::string::npos) << libraries.output;
    std::vector<std::string> argv = AsUnprivilegedUser();
    argv.insert(argv.end(), {"/usr/bin/env", "NLDBG=1", "NLSYSCONFDIR=/etc", "NLCB=debug", m_copy->HelperPath()});
    const CommandResult run = RunCommand(argv, 10s);
    EXPECT_EQ(run.output, std::string(HELPER_GREETING) + "\n") << "the greeting and nothing else";
}

}  // namespace
}  // namespace pelmora::test
