#include "tools/simulator/FaultKind.h"

#include <array>
#include <utility>

namespace pelmora {
namespace {

constexpr std::array<std::pair<FaultKind, const char*>, 13> NAMES{{
    {FaultKind::None, "none"},
    {FaultKind::BadPacketCheck, "bad-packet-check"},
    {FaultKind::BadHeadCheck, "bad-head-check"},
    {FaultKind::BadLength, "bad-length"},
    {FaultKind::ShortDatagram, "short-datagram"},
    {FaultKind::EmptyReply, "empty-reply"},
    {FaultKind::CutList, "cut-list"},
    {FaultKind::ShortMac, "short-mac"},
    {FaultKind::NoMac, "no-mac"},
    {FaultKind::Oversize, "oversize"},
    {FaultKind::WrongCommand, "wrong-command"},
    {FaultKind::BadLead, "bad-lead"},
    {FaultKind::RequestEcho, "request-echo"},
}};

}  // namespace

const std::vector<FaultKind>& AllFaultKinds() {
    static const std::vector<FaultKind> kinds = [] {
        std::vector<FaultKind> all;
        for (const auto& entry : NAMES) {
            if (entry.first != FaultKind::None) all.push_back(entry.first);
        }
        return all;
    }();
    return kinds;
}

const char* FaultName(FaultKind kind) {
    for (const auto& entry : NAMES) {
        if (entry.first == kind) return entry.second;
    }
    return "none";
}

std::optional<FaultKind> ParseFaultName(const std::string& name) {
    for (const auto& entry : NAMES) {
        if (name == entry.second) return entry.first;
    }
    return std::nullopt;
}

bool ParseFaultList(const std::string& text, std::vector<FaultKind>& kinds) {
    if (text == "all") {
        kinds = AllFaultKinds();
        return true;
    }
    std::vector<FaultKind> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        const auto kind = ParseFaultName(text.substr(start, end - start));
        if (!kind || *kind == FaultKind::None) return false;
        result.push_back(*kind);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    kinds = std::move(result);
    return true;
}

}  // namespace pelmora
