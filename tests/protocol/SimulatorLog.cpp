#include "tests/protocol/SimulatorLog.h"

#include <sstream>
#include <thread>

namespace pelmora::test {

std::vector<JsonValue> SimulatorRecords(const std::string& logText) {
    std::vector<JsonValue> records;
    std::istringstream lines(logText);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '{') continue;
        if (auto record = ParseJson(line); record && record->kind == JsonValue::Kind::Object)
            records.push_back(std::move(*record));
    }
    return records;
}

std::vector<JsonValue> WaitForRecords(const LoggedProcess& process, const std::function<bool(const JsonValue&)>& select,
                                      std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::vector<JsonValue> chosen;
        for (JsonValue& record : SimulatorRecords(process.Log()))
            if (select(record)) chosen.push_back(std::move(record));
        if (chosen.size() >= count || std::chrono::steady_clock::now() >= deadline) return chosen;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool IsReceived(const JsonValue& record, const std::string& command) {
    return record.TextOf("dir") == "in" && record.TextOf("cmd") == command;
}

bool IsSent(const JsonValue& record, const std::string& command) {
    return record.TextOf("dir") == "out" && record.TextOf("cmd") == command;
}

unsigned PortOf(const std::string& endpoint) {
    const auto colon = endpoint.rfind(':');
    if (colon == std::string::npos) return 0;
    return static_cast<unsigned>(std::stoul(endpoint.substr(colon + 1)));
}

}  // namespace pelmora::test
