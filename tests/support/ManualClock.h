#pragma once

#include <ctime>
#include <optional>
#include <vector>

#include "platform/Clock.h"

namespace orx::test {

// Time that moves only when the test (or a Sleep) moves it. The local time advances with the
// ticks, one second per 1000 ms, from baseTime (a calendar time without zone).
class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t startTicks = 1000) : ticks(startTicks), baseTicks(startTicks) {}

    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        ticks += ms;
    }
    LocalTime Now() override {
        if (fixedNow) {
            return *fixedNow;
        }
        return AddSeconds(baseTime, static_cast<uint32_t>(ticks - baseTicks) / 1000);
    }
    void Advance(uint32_t ms) { ticks += ms; }

    static LocalTime AddSeconds(const LocalTime& t, int64_t seconds) {
        std::tm tm{};
        tm.tm_year = t.year - 1900;
        tm.tm_mon = t.month - 1;
        tm.tm_mday = t.day;
        tm.tm_hour = t.hour;
        tm.tm_min = t.minute;
        tm.tm_sec = t.second;
        const time_t moved = ::timegm(&tm) + static_cast<time_t>(seconds);
        ::gmtime_r(&moved, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }

    uint32_t ticks;
    uint32_t baseTicks;
    LocalTime baseTime{2006, 3, 5, 14, 7, 9};
    std::optional<LocalTime> fixedNow;
    std::vector<uint32_t> sleeps;
};

}  // namespace orx::test
