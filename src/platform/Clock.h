#pragma once

#include <cstdint>

namespace orx {

// Local calendar date and time to the second.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Every source of time the program uses. Components take a Clock& so that tests can drive time
// deterministically; production code passes SystemClock().
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, monotonic, wrapping at 2^32. Only differences of two
    // tick values (computed in uint32_t) carry meaning.
    virtual uint32_t Ticks() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    virtual LocalTime Now() = 0;
};

Clock& SystemClock();

// Seconds between two local times, converting both to calendar time with the daylight-saving
// state determined automatically (as mktime does with tm_isdst = -1).
int64_t SecondsBetween(const LocalTime& from, const LocalTime& to);

}  // namespace orx
