#pragma once
// The simulator's log: one JSON object per line, each stamped with monotonic and wall-clock time.
#include <cstdio>

#include "tools/simulator/JsonLine.h"

namespace pelmora {

class EventLog {
public:
    explicit EventLog(std::FILE* out) : m_out(out) {}  // out is not owned
    // Writes {"mono_ms":..,"wall":"..",<fields>} and a newline.
    void Write(const JsonObject& fields);
    void Flush();

private:
    std::FILE* m_out;
};

// CLOCK_MONOTONIC in milliseconds, the clock std::chrono::steady_clock reads on Linux.
double MonotonicMilliseconds();
// UTC, ISO 8601 with milliseconds: 2024-05-01T12:00:00.123Z
std::string WallClockText();

}  // namespace pelmora
