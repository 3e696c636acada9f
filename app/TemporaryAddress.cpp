#include "app/TemporaryAddress.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace pelmora {

namespace {

std::uint8_t DrawnOctet(const std::function<int()>& draw) { return static_cast<std::uint8_t>((draw() >> 2) & 0xFF); }

}  // namespace

std::optional<std::size_t> ChooseTemporaryAdapter(const std::vector<AdapterInfo>& adapters) {
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        const AdapterInfo& adapter = adapters[i];
        if (adapter.ifIndex == 0 || !adapter.isEthernet) continue;
        if (!HoldsIpv4Address(adapter)) return i;
    }
    return std::nullopt;
}

Ipv4Octets TemporaryAddressFromDraws(const std::function<int()>& draw) {
    draw();
    Ipv4Octets address{{10, 0, 0, 0}};
    address.bytes[1] = DrawnOctet(draw);
    address.bytes[2] = DrawnOctet(draw);
    do {
        address.bytes[3] = DrawnOctet(draw);
    } while (address.bytes[3] == 0 || address.bytes[3] == 255);
    return address;
}

TemporaryAddress::TemporaryAddress(AddressPlatform& platform) : m_platform(platform) {
    const auto adapters = m_platform.ListAdapters();
    if (!adapters) return;
    if (const auto chosen = ChooseTemporaryAdapter(*adapters)) AddAddress((*adapters)[*chosen].ifIndex);
}

TemporaryAddress::~TemporaryAddress() {
    if (nteContext) m_platform.DeleteIpv4Address(*nteContext);
    nteContext.reset();
}

void TemporaryAddress::AddAddress(int ifIndex) {
    // Calendar time plus the holder's own address, so two starts within a second still differ.
    const auto seconds = static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)));
    const auto self = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this));
    std::srand(seconds + self);
    const Ipv4Octets address = TemporaryAddressFromDraws([] { return std::rand(); });
    nteContext = m_platform.AddIpv4Address(ifIndex, ToNet(address), ToNet(TEMPORARY_MASK));
}

}  // namespace pelmora
