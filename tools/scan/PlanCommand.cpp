#include "tools/scan/PlanCommand.h"

#include <cstdio>
#include <vector>

#include "devices/Plan.h"
#include "devices/PlanReport.h"
#include "devices/WriteSchedule.h"
#include "platform/CommandLine.h"
#include "platform/FileRead.h"

namespace pelmora {

namespace {

// Far more than any site's plan; a larger file is most likely not a plan at all.
constexpr std::size_t MAX_PLAN_BYTES = std::size_t{4} << 20;
constexpr std::chrono::milliseconds WAIT_TICK{100};
constexpr int BAR_WIDTH = 40;

std::string Formatted(const std::vector<ReportEntry>& entries, ScanOutput output) {
    if (output == ScanOutput::Json) return FormatReportJson(entries);
    if (output == ScanOutput::Csv) return FormatReportCsv(entries);
    return FormatReportTable(entries);
}

void DrawBar(const char* what, std::size_t done, std::size_t total) {
    const std::size_t filled = total == 0 ? BAR_WIDTH : done * BAR_WIDTH / total;
    std::fprintf(stderr, "\r%s [%s%s] %zu/%zu", what, std::string(filled, '#').c_str(),
                 std::string(BAR_WIDTH - filled, ' ').c_str(), done, total);
    std::fflush(stderr);
}

void Write(WriteSchedule& schedule, Clock& clock, bool terminal) {
    std::fprintf(stderr, "pelmora-scan: writing %zu device%s\n", schedule.Total(), schedule.Total() == 1 ? "" : "s");
    for (auto due = schedule.Step(); due; due = schedule.Step()) {
        if (terminal) DrawBar("writing", schedule.Finished(), schedule.Total());
        clock.SleepUntil(*due);
    }
    if (terminal) {
        DrawBar("writing", schedule.Finished(), schedule.Total());
        std::fputc('\n', stderr);
    }
}

// The wait dialog's wait, in its 100 ms ticks, on the clock.
void Wait(int seconds, Clock& clock, bool terminal) {
    std::fprintf(stderr, "pelmora-scan: waiting %d s while the devices restart\n", seconds);
    const int ticks = seconds * 1000 / static_cast<int>(WAIT_TICK.count());
    const Clock::TimePoint start = clock.Now();
    for (int tick = 1; tick <= ticks; ++tick) {
        clock.SleepUntil(start + tick * WAIT_TICK);
        if (terminal) DrawBar("waiting", static_cast<std::size_t>(tick), static_cast<std::size_t>(ticks));
    }
    if (terminal) std::fputc('\n', stderr);
}

void Verify(PlanVerification& verification, DeviceSet& devices, Ipv4Host destination, Clock& clock) {
    Clock::TimePoint last{};
    for (int scan = 0; scan < VERIFYING_SCANS && !verification.AllSeen(); ++scan) {
        if (scan > 0) clock.SleepUntil(last + VERIFYING_SCAN_INTERVAL);
        last = clock.Now();
        devices.ClearReplies();
        devices.Scan(destination);
        verification.Update(devices.Replies());
    }
}

}  // namespace

int RunPlan(const ScanArguments& arguments, DeviceSet& devices, DeviceNetwork& network) {
    const std::string& path = *arguments.planPath;
    std::string error;
    const auto text = ReadFileWhole(path, MAX_PLAN_BYTES, error);
    if (!text) {
        std::fprintf(stderr, "pelmora-scan: cannot read the plan %s: %s\n", path.c_str(), error.c_str());
        return EXIT_BAD_PLAN;
    }
    Plan plan;
    std::vector<PlanProblem> problems = ParsePlan(*text, plan);
    PlanCheck check;
    if (problems.empty()) {
        check = CheckPlan(plan, devices.Replies());
        problems = check.problems;
    }
    if (!problems.empty()) {
        for (const PlanProblem& problem : problems)
            std::fprintf(stderr, "pelmora-scan: %s: %s\n", path.c_str(), ProblemText(problem).c_str());
        std::fprintf(stderr, "pelmora-scan: %zu problems in the plan; nothing sent\n", problems.size());
        return EXIT_BAD_PLAN;
    }
    if (!arguments.apply) {
        std::fputs(Formatted(PreviewEntries(check), arguments.output).c_str(), stdout);
        return 0;
    }

    std::vector<DeviceSettings> writes;
    for (const PlanItem& item : check.items)
        if (item.action == PlanAction::Change) writes.push_back(item.planned);
    const bool terminal = StandardErrorIsTerminal();
    WriteSchedule schedule(network, devices.Replies(), writes);
    if (!writes.empty()) {
        Write(schedule, network.Time(), terminal);
        Wait(PlanWaitSeconds(check), network.Time(), terminal);
    }
    PlanVerification verification(check, schedule.Written());
    Verify(verification, devices, arguments.destination, network.Time());
    std::fputs(Formatted(verification.Entries(), arguments.output).c_str(), stdout);
    return AllConfirmed(verification.Entries()) ? 0 : EXIT_NOT_CONFIRMED;
}

}  // namespace pelmora
