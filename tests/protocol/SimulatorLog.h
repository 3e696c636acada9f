#pragma once
// The device simulator's JSON-lines log, read back as records.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/protocol/JsonValue.h"
#include "tests/support/Command.h"

namespace pelmora::test {

// Every line of the text that is a JSON object; other lines (readiness, diagnostics) are skipped.
std::vector<JsonValue> SimulatorRecords(const std::string& logText);

// The records a predicate selects, once at least `count` of them are in the log or the time is up.
std::vector<JsonValue> WaitForRecords(const LoggedProcess& process, const std::function<bool(const JsonValue&)>& select,
                                      std::size_t count, std::chrono::milliseconds timeout);

// Selectors: a datagram the simulator received with this command ("request", "wink", ...), one it sent.
bool IsReceived(const JsonValue& record, const std::string& command);
bool IsSent(const JsonValue& record, const std::string& command);

// "a.b.c.d:port" split into its port; 0 when there is none.
unsigned PortOf(const std::string& endpoint);

}  // namespace pelmora::test
