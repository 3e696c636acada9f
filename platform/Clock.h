#pragma once
// The time the device operations run on: their receive windows and their pauses. Passed in, so tests
// run them on a fake clock without sleeping.
#include <chrono>

namespace pelmora {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Duration = std::chrono::steady_clock::duration;

    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
    // Returns at `when` or later; at once when it has passed.
    virtual void SleepUntil(TimePoint when) = 0;
    void SleepFor(Duration duration) { SleepUntil(Now() + duration); }
};

// The steady clock of the system.
class SteadyClock final : public Clock {
public:
    TimePoint Now() const override;
    void SleepUntil(TimePoint when) override;
};

}  // namespace pelmora
