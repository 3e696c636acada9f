#include "tools/simulator/EventLog.h"

#include <ctime>

namespace pelmora {

double MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string WallClockText() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03ldZ", now.tv_nsec / 1000000L);
    return text;
}

void EventLog::Write(const JsonObject& fields) {
    JsonObject line;
    line.AddFixed("mono_ms", MonotonicMilliseconds(), 3).AddText("wall", WallClockText());
    std::string text = line.Merge(fields).Text() + "\n";
    std::fwrite(text.data(), 1, text.size(), m_out);
}

void EventLog::Flush() { std::fflush(m_out); }

}  // namespace pelmora
