#pragma once
// A clock that stands still until it is told to move: SleepUntil moves it at once, and tests read the
// time of every event off it. Nothing here sleeps.
#include "platform/Clock.h"

namespace pelmora::test {

class FakeClock final : public Clock {
public:
    // An arbitrary start, far from the steady clock's epoch.
    static constexpr Duration START = std::chrono::hours(1);

    TimePoint Now() const override { return m_now; }
    void SleepUntil(TimePoint when) override {
        ++sleeps;
        Advance(when);
    }
    // Moves the clock to `when`; never backwards.
    void Advance(TimePoint when) {
        if (when > m_now) m_now = when;
    }
    void Advance(Duration by) { Advance(m_now + by); }

    int sleeps = 0;

private:
    TimePoint m_now{START};
};

}  // namespace pelmora::test
