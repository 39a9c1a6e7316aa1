#pragma once

#include <ctime>
#include <optional>
#include <vector>

#include "platform/Clock.h"

namespace orx::test {

// Time that moves only when the test (or a Sleep) moves it. Unless fixedNow is set, the local
// time is 05.03.2006 14:07:09 plus one second per 1000 ticks since construction.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t startTicks = 1000) : ticks(startTicks), baseTicks(startTicks) {}

    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        ticks += ms;
    }
    void Advance(uint32_t ms) { ticks += ms; }
    LocalTime Now() override {
        if (fixedNow)
            return *fixedNow;
        const time_t t = 1141567629 + static_cast<uint32_t>(ticks - baseTicks) / 1000;
        std::tm tm{};
        ::gmtime_r(&t, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }

    uint32_t ticks;
    uint32_t baseTicks;
    std::optional<LocalTime> fixedNow;
    std::vector<uint32_t> sleeps;
};

}  // namespace orx::test
