#include "platform/Clock.h"

#include <cerrno>
#include <ctime>

namespace orx {
namespace {

class SystemClockImpl final : public Clock {
public:
    uint32_t Ticks() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        // Unsigned arithmetic: the product wraps modulo 2^64 and the cast keeps the low 32 bits,
        // which is exactly the wrapping tick the callers difference.
        const uint64_t ms =
            static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }

    void Sleep(uint32_t ms) override {
        timespec remaining{static_cast<time_t>(ms / 1000u),
                           static_cast<long>(ms % 1000u) * 1000000L};
        while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
        }
    }

    LocalTime Now() override {
        const time_t now = time(nullptr);
        tm local{};
        localtime_r(&now, &local);
        LocalTime result;
        result.year = local.tm_year + 1900;
        result.month = local.tm_mon + 1;
        result.day = local.tm_mday;
        result.hour = local.tm_hour;
        result.minute = local.tm_min;
        result.second = local.tm_sec;
        return result;
    }
};

time_t ToCalendarTime(const LocalTime& t) {
    tm local{};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    return mktime(&local);
}

}  // namespace

Clock& SystemClock() {
    static SystemClockImpl clock;
    return clock;
}

int64_t SecondsBetween(const LocalTime& from, const LocalTime& to) {
    return static_cast<int64_t>(ToCalendarTime(to)) - static_cast<int64_t>(ToCalendarTime(from));
}

}  // namespace orx
