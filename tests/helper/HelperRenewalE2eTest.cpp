// The helper's session on the lab's real links, through rtnetlink, its renewals driven by a fake clock: an
// address it renews comes back neither after someone deleted it nor once the link has another address, and
// the renewal still holds it otherwise (label e2e, root).
#include <net/if.h>

#include <gtest/gtest.h>

#include <regex>

#include "helper/HelperSession.h"
#include "helper/SystemHelperHost.h"
#include "tests/support/FakeClock.h"
#include "tests/support/LabTest.h"

namespace pelmora::test {
namespace {

class HelperRenewalE2e : public LabTest {
protected:
    LabOptions Options() const override {
        LabOptions options;
        options.extraAdapters = 1;
        return options;
    }

    void SetUp() override {
        LabTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        m_spare = static_cast<int>(if_nametoindex(TheLab().ExtraInterface(1).c_str()));
        ASSERT_GT(m_spare, 0);
    }

    // The helper's address on the spare link, drawn and added by the session.
    std::string Add() {
        const std::string reply = m_session.Handle("ADD " + std::to_string(m_spare));
        EXPECT_EQ(reply.rfind("OK 10.", 0), 0u) << reply;
        return m_session.Held() ? ToText(m_session.Held()->address) : std::string();
    }

    // "ip -4 -o address show" of the spare link.
    std::string Shown() {
        return RunInPc({"ip", "-4", "-o", "address", "show", "dev", TheLab().ExtraInterface(1)}).output;
    }

    void RenewWhenDue() {
        m_clock.Advance(RENEW_INTERVAL);
        m_session.RenewIfDue();
    }

    int m_spare = 0;
    SystemHelperHost m_host;
    FakeClock m_clock;
    HelperSession m_session{m_host, m_clock};
};

TEST_F(HelperRenewalE2e, TheRenewalHoldsTheAddressWhileItIsAloneOnItsLink) {
    const std::string address = Add();
    ASSERT_FALSE(address.empty());
    const std::string dev = TheLab().ExtraInterface(1);
    // Shortened by hand, so that the renewal shows without waiting for the lifetime to run down.
    ASSERT_EQ(RunInPc({"ip", "address", "change", address + "/24", "dev", dev, "valid_lft", "5", "preferred_lft", "5"})
                  .exitStatus,
              0);
    ASSERT_NE(Shown().find("valid_lft 5sec"), std::string::npos) << Shown();
    RenewWhenDue();
    std::smatch lifetime;
    const std::string shown = Shown();
    ASSERT_TRUE(std::regex_search(shown, lifetime, std::regex(R"(valid_lft (\d+)sec)"))) << shown;
    EXPECT_GT(std::stoi(lifetime[1].str()), 20) << shown;
    EXPECT_TRUE(m_session.Held());
}

TEST_F(HelperRenewalE2e, ADeletedAddressIsNotMadeAgainNorOneBesideAnotherAddressKept) {
    const std::string dev = TheLab().ExtraInterface(1);
    struct Case {
        const char* what;
        bool giveAnother;
    } cases[] = {{"deleted", false}, {"deleted, and the link given 192.168.50.7", true}};
    for (const Case& c : cases) {
        const std::string address = Add();
        ASSERT_FALSE(address.empty()) << c.what;
        ASSERT_EQ(RunInPc({"ip", "address", "del", address + "/24", "dev", dev}).exitStatus, 0) << c.what;
        if (c.giveAnother) {
            ASSERT_EQ(RunInPc({"ip", "address", "add", "192.168.50.7/24", "dev", dev}).exitStatus, 0) << c.what;
        }
        for (int renewal = 0; renewal < 2; ++renewal) RenewWhenDue();
        EXPECT_EQ(Shown().find(address), std::string::npos) << c.what << ": " << Shown();
        EXPECT_FALSE(m_session.Held()) << c.what;
    }
    EXPECT_NE(Shown().find("192.168.50.7/24"), std::string::npos);
    ASSERT_EQ(RunInPc({"ip", "address", "del", "192.168.50.7/24", "dev", dev}).exitStatus, 0);

    // Another address beside ours: ours goes, theirs stays.
    const std::string address = Add();
    ASSERT_FALSE(address.empty());
    ASSERT_EQ(RunInPc({"ip", "address", "add", "192.168.50.7/24", "dev", dev}).exitStatus, 0);
    RenewWhenDue();
    const std::string shown = Shown();
    EXPECT_EQ(shown.find(address), std::string::npos) << shown;
    EXPECT_NE(shown.find("192.168.50.7/24"), std::string::npos) << shown;
    EXPECT_FALSE(m_session.Held());
}

}  // namespace
}  // namespace pelmora::test
