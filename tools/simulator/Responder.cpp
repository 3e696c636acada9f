#include "tools/simulator/Responder.h"

#include <algorithm>
#include <cstdio>

#include "protocol/PacketEnvelope.h"
#include "tools/simulator/DeviceElements.h"
#include "tools/simulator/DeviceFile.h"
#include "tools/simulator/FaultyReplies.h"
#include "tools/simulator/SimWire.h"

namespace pelmora {
namespace {

constexpr MacAddress FAULT_MAC_BASE{{0x02, 0xBA, 0xD0, 0x00, 0x00, 0x01}};
constexpr MacAddress FLOOD_MAC_BASE{{0x02, 0xF1, 0x00, 0x00, 0x00, 0x01}};
constexpr std::size_t WINK_PAYLOAD = 9;

std::string Endpoint(Ipv4Octets address, std::uint16_t port) { return ToText(address) + ":" + std::to_string(port); }

std::string HexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

const char* OpenFailureText(std::uint32_t reason) {
    switch (reason) {
        case OPEN_BAD_SIZE: return "open failed: size";
        case OPEN_BAD_PACKET_CHECK: return "open failed: packet check";
        case OPEN_BAD_HEAD_CHECK: return "open failed: payload-head check";
        default: return "open failed";
    }
}

MacAddress MacAt(const std::uint8_t* bytes) {
    MacAddress mac{};
    std::copy(bytes, bytes + 6, mac.begin());
    return mac;
}

std::string SettingsJson(const WriteSettings& w) {
    JsonObject s;
    if (w.ip) s.AddText("ip", ToText(*w.ip));
    if (w.mask) s.AddText("mask", ToText(*w.mask));
    if (w.gateway) s.AddText("gw", ToText(*w.gateway));
    if (w.dns) s.AddText("dns", ToText(*w.dns));
    if (w.text102) s.AddText("text", *w.text102);
    if (w.description) s.AddText("description", *w.description);
    if (w.station) s.AddNumber("pla", w.station->first).AddNumber("ela", w.station->second);
    if (w.dhcp) s.AddNumber("dhcp", *w.dhcp ? 1 : 0);
    if (w.deviceId) s.AddNumber("id", *w.deviceId);
    if (w.name) s.AddText("name", *w.name);
    if (w.port) s.AddNumber("port", *w.port);
    if (w.bbmd) s.AddText("bbmd", *w.bbmd);
    if (w.location) s.AddText("location", *w.location);
    if (w.debug) s.AddNumber("debug", *w.debug);
    return s.Text();
}

std::string TagsJson(const std::vector<std::uint8_t>& tags) {
    std::string json = "[";
    for (std::size_t i = 0; i < tags.size(); ++i) json += (i ? "," : "") + std::to_string(tags[i]);
    return json + "]";
}

std::string IgnoredJson(const std::vector<std::pair<std::uint8_t, std::uint8_t>>& ignored) {
    std::string json = "[";
    for (std::size_t i = 0; i < ignored.size(); ++i) {
        json += (i ? ",[" : "[") + std::to_string(ignored[i].first) + "," + std::to_string(ignored[i].second) + "]";
    }
    return json + "]";
}

}  // namespace

Responder::Responder(std::vector<SimDevice> devices, ResponderSettings settings, EventLog& log)
    : m_devices(std::move(devices)),
      m_settings(std::move(settings)),
      m_log(log),
      m_silentUntil(m_devices.size()),
      m_random(m_settings.seed) {
    for (std::size_t i = 0; i < m_devices.size(); ++i) m_byMac.emplace(m_devices[i].mac, i);
    GeneratorSettings faultDevices;
    faultDevices.count = m_settings.faults.size();
    faultDevices.macBase = FAULT_MAC_BASE;
    faultDevices.namePrefix = "FAULT";
    m_faultDevices = GenerateDevices(faultDevices);
    for (std::size_t i = 0; i < m_faultDevices.size(); ++i) m_faultDevices[i].fault = m_settings.faults[i];
    GeneratorSettings floodDevices;
    floodDevices.count = std::max(m_settings.floodMacs, m_settings.flood > 0 ? std::size_t{1} : std::size_t{0});
    floodDevices.macBase = FLOOD_MAC_BASE;
    floodDevices.namePrefix = "FLOOD";
    m_floodDevices = GenerateDevices(floodDevices);
}

bool Responder::Restarting(std::size_t index, Clock::time_point now) const { return now < m_silentUntil[index]; }

std::vector<Outgoing> Responder::Handle(const Received& in) {
    JsonObject record;
    record.AddText("dir", "in")
        .AddText("peer", Endpoint(in.from, in.fromPort))
        .AddText("local", Endpoint(in.to, in.toPort))
        .AddNumber("len", static_cast<std::int64_t>(in.size))
        .AddText("hex", HexBytes(in.data, in.size));
    std::vector<Outgoing> out;
    if (in.truncated) {
        record.AddText("reject", "longer than the receive buffer");
        m_log.Write(record);
        return out;
    }
    std::vector<std::uint8_t> buffer(in.data, in.data + in.size);
    auto length = static_cast<std::uint32_t>(buffer.size());
    const std::uint8_t* payload = OpenPacket(buffer.data(), length);
    if (payload == nullptr) {
        record.AddText("reject", OpenFailureText(length)).AddNumber("open_reason", length);
        m_log.Write(record);
        return out;
    }
    record.AddText("payload", HexBytes(payload, length));
    if (length < 2) {
        record.AddText("reject", "payload shorter than 2 bytes");
    } else if (payload[0] != 0x00) {
        record.AddText("reject", "payload byte 0 is " + HexByte(payload[0]) + ", not 0x00");
    } else {
        switch (payload[1]) {
            case simwire::CMD_REQUEST:
                record.AddText("cmd", "request");
                HandleRequest(in, length, record, out);
                break;
            case simwire::CMD_REPLY: {
                record.AddText("cmd", "reply");
                ElementList list;
                if (ExtractReplyList(payload, length, list)) {
                    record.AddText(
                        "mac", MacText(MacAt(list.data() + FindElement(list, simwire::TAG_MAC, simwire::MAC_LENGTH))));
                }
                break;
            }
            case simwire::CMD_WRITE:
                record.AddText("cmd", "write");
                HandleWrite(in, payload, length, record);
                break;
            case simwire::CMD_WINK:
                record.AddText("cmd", "wink");
                HandleWink(in, payload, length, record);
                break;
            default:
                record.AddText("cmd", "unknown").AddText("reject", "unknown command " + HexByte(payload[1]));
                break;
        }
    }
    m_log.Write(record);
    return out;
}

void Responder::HandleRequest(const Received& in, std::size_t payloadSize, JsonObject& record,
                              std::vector<Outgoing>& out) {
    if (payloadSize != 2) {
        record.AddText("reject", "request is " + std::to_string(payloadSize) + " bytes, not 2");
        return;
    }
    std::vector<Answer> answers;
    std::size_t silent = 0;
    for (const SimDevice& fault : m_faultDevices) answers.push_back({&fault, -1, fault.fault, false, "fault"});
    for (std::size_t i = 0; i < m_settings.flood; ++i) {
        const auto& kinds = AllFaultKinds();
        answers.push_back({&m_floodDevices[i % m_floodDevices.size()], -1, kinds[i % kinds.size()], true, "flood"});
    }
    for (std::size_t i = 0; i < m_settings.floodMacs; ++i) {
        answers.push_back({&m_floodDevices[i], -1, FaultKind::None, true, "flood"});
    }
    if (!m_settings.faultsOnly) {
        for (std::size_t i = 0; i < m_devices.size(); ++i) {
            const SimDevice& d = m_devices[i];
            const ReplyMode mode = d.replyModeSet ? d.replyMode : m_settings.mode;
            if (mode == ReplyMode::None) continue;
            if (Restarting(i, in.now)) {
                ++silent;
                continue;
            }
            answers.push_back({&d, static_cast<long>(i), d.fault, false, "device"});
        }
    }
    if (m_settings.shuffle) std::shuffle(answers.begin(), answers.end(), m_random);
    for (const Answer& answer : answers) out.push_back(MakeAnswer(answer, in));
    record.AddNumber("answers", static_cast<std::int64_t>(out.size()));
    if (silent > 0) record.AddNumber("silent", static_cast<std::int64_t>(silent));
}

Outgoing Responder::MakeAnswer(const Answer& answer, const Received& in) const {
    const SimDevice& d = *answer.device;
    ReplyMode mode = d.replyModeSet && answer.index >= 0 ? d.replyMode : m_settings.mode;
    if (mode == ReplyMode::Auto) {
        mode = answer.index < 0 || Reaches(d, in.from) ? ReplyMode::Unicast : ReplyMode::Broadcast;
    }
    if (answer.toRequester) mode = ReplyMode::Unicast;
    Outgoing o;
    o.bytes = BuildFaultyReply(answer.fault, d);
    const bool unicast = mode == ReplyMode::Unicast;
    o.to = unicast ? in.from : m_settings.broadcast;
    o.port = unicast ? in.fromPort : simwire::PORT;
    o.fields.AddText("cmd", "reply").AddText("mac", MacText(d.mac)).AddText("origin", answer.origin);
    if (answer.index >= 0) o.fields.AddNumber("device", answer.index);
    o.fields.AddText("mode", unicast ? "unicast" : "broadcast");
    if (answer.fault != FaultKind::None) o.fields.AddText("fault", FaultName(answer.fault));
    return o;
}

// Directly inside its own subnet, or through a gateway that lies in that subnet and exists on the wire.
bool Responder::Reaches(const SimDevice& device, Ipv4Octets address) const {
    if (SubnetContains(device, address)) return true;
    if (device.gateway == Ipv4Octets{} || !SubnetContains(device, device.gateway)) return false;
    return std::any_of(m_settings.attachedSubnets.begin(), m_settings.attachedSubnets.end(),
                       [&](const Ipv4Prefix& subnet) { return PrefixContains(subnet, device.gateway); });
}

void Responder::HandleWrite(const Received& in, const std::uint8_t* payload, std::size_t size, JsonObject& record) {
    WriteSettings w;
    std::string reason;
    if (!DecodeConfigWrite(payload + 2, size - 2, w, reason)) {
        record.AddText("reject", reason);
        return;
    }
    record.AddText("mac", MacText(w.mac))
        .AddRaw("settings", SettingsJson(w))
        .AddRaw("tags", TagsJson(w.tags))
        .AddRaw("ignored", IgnoredJson(w.ignored));
    const auto found = m_byMac.find(w.mac);
    if (found == m_byMac.end()) {
        record.AddText("reject", "no device with this MAC");
        return;
    }
    const std::size_t index = found->second;
    record.AddNumber("device", static_cast<std::int64_t>(index));
    if (Restarting(index, in.now)) {
        record.AddText("reject", "restarting");
        return;
    }
    if (m_devices[index].ignoresWrites) {
        record.AddText("reject", "ignores writes");
        return;
    }
    const std::chrono::milliseconds silence =
        m_devices[index].restartSilence.count() >= 0 ? m_devices[index].restartSilence : m_settings.restartSilence;
    std::optional<Ipv4Prefix> lease = m_settings.dhcpLease;
    if (lease) lease->address = ToOctets(Ipv4Host{ToHost(lease->address).value + m_leasesGiven});
    SimDevice& device = m_devices[index];
    const Ipv4Octets before = device.ip;
    if (ApplyConfigWrite(device, w, lease ? &*lease : nullptr)) {
        ++m_leasesGiven;
        record.AddText("lease", ToText(device.ip));
    }
    if (device.ip != before) m_moves.push_back({in.now + silence, before, device.ip});
    // Silences differ per device, so the moves are kept in due order.
    std::stable_sort(m_moves.begin(), m_moves.end(),
                     [](const AddressMove& a, const AddressMove& b) { return a.due < b.due; });
    Advance(in.now);
    if (silence.count() > 0) {
        m_silentUntil[index] = in.now + silence;
        record.AddNumber("silent_ms", silence.count());
    }
    record.AddBool("applied", true).AddText("state", FormatDeviceLine(device));
}

std::optional<Clock::time_point> Responder::Advance(Clock::time_point now) {
    std::size_t done = 0;
    while (done < m_moves.size() && m_moves[done].due <= now) {
        if (m_onAddressChange) m_onAddressChange(m_moves[done].before, m_moves[done].after);
        ++done;
    }
    m_moves.erase(m_moves.begin(), m_moves.begin() + static_cast<long>(done));
    if (m_moves.empty()) return std::nullopt;
    return m_moves.front().due;
}

void Responder::HandleWink(const Received&, const std::uint8_t* payload, std::size_t size, JsonObject& record) {
    if (size < 2 + simwire::MAC_LENGTH) {
        record.AddText("reject", "wink is " + std::to_string(size) + " bytes, not 9");
        return;
    }
    const MacAddress mac = MacAt(payload + 2);
    record.AddText("mac", MacText(mac));
    if (size != WINK_PAYLOAD) {
        record.AddText("reject", "wink is " + std::to_string(size) + " bytes, not 9");
    } else if (payload[8] != simwire::WINK_END) {
        record.AddText("reject", "wink byte 8 is " + HexByte(payload[8]) + ", not 0x0A");
    } else if (const auto found = m_byMac.find(mac); found == m_byMac.end()) {
        record.AddText("reject", "no device with this MAC");
    } else {
        record.AddNumber("device", static_cast<std::int64_t>(found->second)).AddBool("winked", true);
    }
}

}  // namespace pelmora
