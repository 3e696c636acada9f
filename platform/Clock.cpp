#include "platform/Clock.h"

#include <thread>

namespace pelmora {

Clock::TimePoint SteadyClock::Now() const { return std::chrono::steady_clock::now(); }

void SteadyClock::SleepUntil(TimePoint when) { std::this_thread::sleep_until(when); }

}  // namespace pelmora
