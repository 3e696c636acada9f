// A plan file is input from outside: bytes through the plan's reader, its checks against a small
// segment, the preview, and every printed form of it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "devices/Plan.h"
#include "devices/PlanReport.h"
#include "protocol/Utf8Text.h"
#include "protocol/WireFormat.h"

namespace {

using namespace pelmora;

constexpr std::size_t MAX_INPUT = 1 << 16;

void Require(bool condition) {
    if (!condition) std::abort();
}

ElementList Reply(std::uint8_t last, std::uint8_t host, std::int32_t id, const char* name, bool bacnet) {
    ElementList list;
    const std::uint8_t mac[6] = {0x02, 0, 0, 0, 0, last};
    AppendElement(list, reply::MAC.tag, mac, 6);
    const std::uint8_t flags[4] = {0, 0, 0, static_cast<std::uint8_t>(bacnet ? FEATURE_BACNET : 0)};
    AppendElement(list, reply::FEATURES.tag, flags, 4);
    const std::uint8_t ip[4] = {192, 168, 92, host};
    AppendElement(list, reply::IP_ADDRESS.tag, ip, 4);
    const auto value = static_cast<std::uint32_t>(id);
    const std::uint8_t idBytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                     static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    AppendElement(list, reply::DEVICE_ID.tag, idBytes, 4);
    AppendTextElement(list, reply::DEVICE_NAME.tag, name);
    return list;
}

const ReplyStore& Segment() {
    static const ReplyStore replies = [] {
        ReplyStore r;
        for (const ElementList& list : {Reply(1, 92, -1, "Unit $", true), Reply(2, 92, -1, "Unit $", true),
                                        Reply(3, 30, 4200, "=SUM", true), Reply(4, 40, 0, "", false)})
            r[MacKey(list)] = list;
        return r;
    }();
    return replies;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_INPUT) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Plan plan;
    std::vector<PlanProblem> problems = ParsePlan(text, plan);
    for (const PlanProblem& problem : problems) Require(problem.line >= 1 && problem.column >= 0);
    if (!problems.empty()) return 0;
    const PlanCheck check = CheckPlan(plan, Segment());
    Require(check.items.size() == plan.rows.size());
    for (const PlanProblem& problem : check.problems) Require(problem.line >= 1 && problem.column >= 1);
    if (!check.problems.empty()) return 0;
    // A plan that passes its checks holds only what the write can carry.
    for (const PlanItem& item : check.items) {
        for (const std::string* t :
             {&item.planned.name, &item.planned.location, &item.planned.description, &item.planned.bbmdAddress})
            Require(IsValidUtf8(*t) && CountCharacters(*t) <= MAX_TEXT_CHARACTERS);
        Require(item.planned.deviceId >= -1 && item.planned.deviceId < DEVICE_ID_LIMIT);
        Require((item.action == PlanAction::Change) == !item.changes.empty() || item.action == PlanAction::NotFound);
    }
    const std::vector<ReportEntry> entries = PreviewEntries(check);
    Require(!FormatReportJson(entries).empty() && !FormatReportCsv(entries).empty() &&
            !FormatReportTable(entries).empty());
    return 0;
}
