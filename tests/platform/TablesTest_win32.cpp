// The IP Helper tables as the program reads them; nothing here changes them.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Adapters.h"
#include "platform/AddressTable.h"

namespace pelmora {
namespace {

const Ipv4Net LOOPBACK = ToNet(Ipv4Octets{{127, 0, 0, 1}});

TEST(Win32Tables, TheAddressTableHoldsLoopbackAndATableLargerThanAskedForIsAFailure) {
    const auto rows = ReadIpv4AddressTable(116);
    ASSERT_TRUE(rows);
    EXPECT_TRUE(std::any_of(rows->begin(), rows->end(), [](const AddressRow& r) { return r.address == LOOPBACK; }));
    EXPECT_FALSE(ReadIpv4AddressTable(rows->size() - 1)) << "a table that does not fit is not cut";
}

TEST(Win32Tables, LoopbackIsListedButIsNoEthernetAdapter) {
    const auto adapters = ListAdapters();
    ASSERT_TRUE(adapters);
    const auto loopback = std::find_if(adapters->begin(), adapters->end(), [](const AdapterInfo& a) {
        return std::find(a.unicast.begin(), a.unicast.end(), std::optional<Ipv4Net>(LOOPBACK)) != a.unicast.end();
    });
    ASSERT_NE(loopback, adapters->end());
    EXPECT_FALSE(loopback->isEthernet);
    EXPECT_TRUE(HoldsIpv4Address(*loopback));
    EXPECT_FALSE(loopback->name.empty()) << "the friendly name, converted from UTF-16";
}

}  // namespace
}  // namespace pelmora
