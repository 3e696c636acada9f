#pragma once
// An AddressPlatform of adapters set by the test; adds and deletes are recorded in order.
#include <functional>
#include <string>
#include <vector>

#include "app/AddressPlatform.h"

namespace pelmora::test {

class FakeAddressPlatform final : public AddressPlatform {
public:
    std::optional<std::vector<AdapterInfo>> adapters = std::vector<AdapterInfo>{};
    bool addSucceeds = true;
    // Runs at a delete, before it is recorded.
    std::function<void()> onDelete;

    int listCalls = 0;
    // The address the platform "draws".
    Ipv4Net drawn = ToNet(Ipv4Octets{{10, 1, 2, 3}});
    std::vector<int> added;  // the links asked for
    std::vector<AddressContext> deleted;

    std::optional<std::vector<AdapterInfo>> ListAdapters() override {
        ++listCalls;
        return adapters;
    }
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override {
        added.push_back(ifIndex);
        if (!addSucceeds) return std::nullopt;
        return AddressContext{ifIndex, drawn, 24};
    }
    bool DeleteIpv4Address(const AddressContext& context) override {
        if (onDelete) onDelete();
        deleted.push_back(context);
        return true;
    }
};

inline AdapterInfo Adapter(int ifIndex, bool ethernet, std::vector<std::optional<Ipv4Net>> unicast = {}) {
    AdapterInfo adapter;
    adapter.ifIndex = ifIndex;
    adapter.name = "eth" + std::to_string(ifIndex);
    adapter.isEthernet = ethernet;
    adapter.unicast = std::move(unicast);
    return adapter;
}

inline Ipv4Net Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return ToNet(Ipv4Octets{{a, b, c, d}});
}

}  // namespace pelmora::test
