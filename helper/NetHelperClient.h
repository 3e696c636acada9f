#pragma once
// The program's side of pelmora-net-helper: the changes that need CAP_NET_ADMIN, each sent as one request
// line over the helper's channel. The helper runs from Start until this object goes; when the channel
// closes, however this process ends, the helper deletes the address it added.
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "helper/HelperProtocol.h"
#include "platform/HelperChannel_linux.h"
#include "platform/NetworkAdmin.h"

namespace pelmora {

class NetHelperClient final : public NetworkAdmin {
public:
    static constexpr std::chrono::milliseconds REPLY_TIMEOUT{5000};

    // Starts the helper (argv[0] its absolute path; the program passes InstalledHelperPath() alone) and
    // waits for its greeting. Null, with the reason in error, when it is missing, lacks the capability,
    // ends at once or does not greet in time.
    static std::unique_ptr<NetHelperClient> Start(const std::vector<std::string>& argv, std::string& error,
                                                  std::chrono::milliseconds timeout = REPLY_TIMEOUT);

    // The helper draws the address and names it in its reply.
    std::optional<AddressContext> AddTemporaryAddress(int ifIndex) override;
    bool DeleteIpv4Address(const AddressContext& context) override;
    std::optional<std::size_t> DeleteNeighbours(Ipv4Net address) override;

private:
    explicit NetHelperClient(std::unique_ptr<HelperChannel> channel) : m_channel(std::move(channel)) {}
    // The reply's text after OK; nothing for ERR or a broken channel.
    std::optional<std::string> Request(const HelperRequest& request);

    std::unique_ptr<HelperChannel> m_channel;
};

}  // namespace pelmora
