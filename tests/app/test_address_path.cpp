// The temporary address's path: NetworkManager where it runs, manages the adapter and activates the
// profile; the network helper otherwise, and the release goes back the way the address came.
#include <gtest/gtest.h>

#include "app/linux/AddressPathChoice.h"
#include "app/linux/SystemAddressPlatform.h"

namespace pelmora::test {
namespace {

class FakeNetworkManager final : public NetworkManagerAccess {
public:
    bool running = true;
    bool manages = true;
    std::optional<std::string> refusal;
    std::vector<Ipv4Net> activated;
    int releases = 0;

    bool Running() override { return running; }
    bool ManagesAdapter(int) override { return manages; }
    std::optional<std::string> Activate(int, Ipv4Net address) override {
        activated.push_back(address);
        return refusal;
    }
    void Release() override { ++releases; }
};

class FakeAdmin final : public NetworkAdmin {
public:
    std::vector<int> added;
    int deletes = 0;
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override {
        added.push_back(ifIndex);
        return AddressContext{ifIndex, ToNet(Ipv4Octets{{10, 9, 9, 9}}), 24};
    }
    bool DeleteIpv4Address(const AddressContext&) override { return ++deletes > 0; }
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net) override { return 0; }
};

struct PathCase {
    bool running;
    bool manages;
    std::optional<std::string> refusal;
    AddressPath path;
    int activations;
    std::string note;  // empty: none
};

TEST(AddressPath, NetworkManagerOnlyWhereItRunsManagesTheAdapterAndActivates) {
    const PathCase cases[] = {
        {false, true, std::nullopt, AddressPath::Helper, 0, ""},
        {true, false, std::nullopt, AddressPath::Helper, 0,
         "through the network helper: NetworkManager does not manage"},
        {true, true, "Not authorized", AddressPath::Helper, 1,
         "through the network helper: NetworkManager refused: Not authorized"},
        {true, true, std::nullopt, AddressPath::NetworkManager, 1,
         "/24 through NetworkManager: NetworkManager manages"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.note);
        FakeNetworkManager networkManager;
        networkManager.running = c.running;
        networkManager.manages = c.manages;
        networkManager.refusal = c.refusal;
        FakeAdmin admin;
        std::vector<std::string> notes;
        SystemAddressPlatform platform(&admin, &networkManager,
                                       [&](const std::string& note) { notes.push_back(note); });

        const auto added = platform.AddTemporaryAddress(1);
        ASSERT_TRUE(added);
        ASSERT_EQ(networkManager.activated.size(), static_cast<std::size_t>(c.activations));
        EXPECT_EQ(admin.added.size(), c.path == AddressPath::Helper ? 1u : 0u);
        if (c.note.empty()) {
            EXPECT_TRUE(notes.empty());
        } else {
            ASSERT_EQ(notes.size(), 1u);
            EXPECT_NE(notes[0].find(c.note), std::string::npos) << notes[0];
        }
        if (c.path == AddressPath::NetworkManager) {
            EXPECT_EQ(added->address, networkManager.activated[0]) << "the context names what was activated";
            EXPECT_EQ(ToOctets(added->address).bytes[0], 10);
            EXPECT_EQ(added->prefixLength, 24);
        }

        EXPECT_TRUE(platform.DeleteIpv4Address(*added));
        EXPECT_EQ(networkManager.releases, c.path == AddressPath::NetworkManager ? 1 : 0);
        EXPECT_EQ(admin.deletes, c.path == AddressPath::Helper ? 1 : 0);
    }
}

}  // namespace
}  // namespace pelmora::test
