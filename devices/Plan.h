#pragma once
// A commissioning plan: rows of a CSV file, each naming a device by its MAC ("Unit") and the settings
// it is to get. Read, then checked against the devices that answered a scan, before anything is sent.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceSettings.h"
#include "devices/PlanCsv.h"
#include "devices/PlanSettings.h"
#include "protocol/ElementList.h"
#include "protocol/MacAddress.h"

namespace pelmora {

struct PlanProblem {
    int line = 0;
    int column = 0;  // 0: the line as a whole
    std::string heading;
    std::string message;
};
// "line 3, column 2 (IP address): not an IPv4 address: "1.2.3""
std::string ProblemText(const PlanProblem& problem);

struct PlanRow {
    int line = 0;
    int unitColumn = 0;
    MacBytes mac{};
    // The cells given for the row; an empty cell is none.
    std::array<std::optional<CsvCell>, SETTING_COUNT> cells;
};

struct Plan {
    std::vector<PlanRow> rows;
};

// Reads the plan's rows. A bad header, an unknown column, a missing or malformed "Unit" and a MAC given
// twice are problems; the cells are read against the devices by CheckPlan.
std::vector<PlanProblem> ParsePlan(const std::string& text, Plan& plan);

enum class PlanAction { Change, Unchanged, NotFound };

struct SettingChange {
    Setting setting;
    std::string now;
    std::string planned;
};

struct PlanItem {
    int line = 0;
    MacBytes mac{};
    PlanAction action = PlanAction::NotFound;
    DeviceSettings current;  // the device as the scan found it (NotFound: nothing)
    DeviceSettings planned;  // what the write sends
    std::vector<SettingChange> changes;
};

struct PlanCheck {
    std::vector<PlanItem> items;  // one per plan row, in plan order
    std::vector<PlanProblem> problems;
};

// Reads every row's cells into the settings its device is to get, with the edit dialog's checks, and
// checks what the plan changes against all the devices that answered (not only the list's rows): no
// device without BACnet, no two devices onto one address or device ID, none onto an address or device
// ID that a device outside the plan holds. A MAC that did not answer is NotFound, no problem.
PlanCheck CheckPlan(const Plan& plan, const ReplyStore& replies);

// The wait after the plan's writes: the longest that any changing device needs.
int PlanWaitSeconds(const PlanCheck& check);

}  // namespace pelmora
