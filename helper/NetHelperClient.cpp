#include "helper/NetHelperClient.h"

#include <cstdlib>

namespace pelmora {

std::unique_ptr<NetHelperClient> NetHelperClient::Start(const std::vector<std::string>& argv, std::string& error,
                                                        std::chrono::milliseconds timeout) {
    auto channel = HelperChannel::Start(argv, timeout, error);
    if (!channel) return nullptr;
    const auto greeting = channel->ReadLine();
    if (greeting && *greeting == HELPER_GREETING)
        return std::unique_ptr<NetHelperClient>(new NetHelperClient(std::move(channel)));
    const auto refusal = greeting ? ParseReply(*greeting) : std::nullopt;
    if (refusal && !refusal->ok) error = refusal->text;
    else error = greeting ? "unexpected greeting \"" + *greeting + "\"" : "it ended or did not answer";
    return nullptr;
}

std::optional<std::string> NetHelperClient::Request(const HelperRequest& request) {
    const auto line = m_channel->Exchange(FormatRequest(request));
    const auto reply = line ? ParseReply(*line) : std::nullopt;
    if (!reply || !reply->ok) return std::nullopt;
    return reply->text;
}

std::optional<AddressContext> NetHelperClient::AddTemporaryAddress(int ifIndex) {
    if (ifIndex <= 0) return std::nullopt;
    const auto added = Request(HelperRequest{HelperCommand::Add, ifIndex, {}, 0});
    const auto address = added ? ParseAddressWithPrefix(*added) : std::nullopt;
    if (!address) return std::nullopt;
    return AddressContext{ifIndex, address->first, address->second};
}

bool NetHelperClient::DeleteIpv4Address(const AddressContext& context) {
    return Request(HelperRequest{HelperCommand::Delete, context.ifIndex, context.address, context.prefixLength})
        .has_value();
}

std::optional<std::size_t> NetHelperClient::DeleteNeighbours(Ipv4Net address) {
    const auto count = Request(HelperRequest{HelperCommand::Flush, 0, address, 0});
    if (!count || count->empty() || count->find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return static_cast<std::size_t>(std::strtoull(count->c_str(), nullptr, 10));
}

}  // namespace pelmora
