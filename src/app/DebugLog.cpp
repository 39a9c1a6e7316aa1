#include "app/DebugLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "app/AppSettings.h"
#include "app/AtomicFile.h"
#include "app/BinaryFile.h"
#include "app/IniFile.h"
#include "app/PathLock.h"
#include "platform/Clock.h"

namespace orx {
namespace {

// The longest message kept of one line; a longer one is cut (the line end is always written).
constexpr size_t kMaxMessageBytes = 1023;

struct LogState {
    bool settingsRead = false;
    bool on = false;
    bool timestamp = true;
    std::string path;
};

LogState& State() {
    static LogState state;
    return state;
}

}  // namespace

void DebugLog(const char* format, ...) {
    LogState& state = State();
    if (!state.settingsRead) {
        state.settingsRead = true;
        state.on = GetIniInt("Debug", "Log", 0) != 0;
        state.timestamp = GetIniInt("Debug", "Timestamp", 1) != 0;
        if (state.on) {
            state.path = PathInAppDir("logfile.txt");
        }
    }
    if (!state.on || format == nullptr) {
        return;
    }

    char line[64 + kMaxMessageBytes + 3];
    size_t length = 0;
    if (state.timestamp) {
        const LocalTime now = SystemClock().Now();
        const int n = std::snprintf(line, 64, "%02d.%02d.%04d %02d:%02d:%02d - ", now.day,
                                    now.month, now.year, now.hour, now.minute, now.second);
        length = n > 0 ? static_cast<size_t>(n < 64 ? n : 63) : 0;
    }
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(line + length, kMaxMessageBytes + 1, format, args);
    va_end(args);
    if (n > 0) {
        length +=
            static_cast<size_t>(n) < kMaxMessageBytes ? static_cast<size_t>(n) : kMaxMessageBytes;
    }
    line[length++] = '\r';
    line[length++] = '\n';

    // Other writers are kept out while the line is appended; if one holds the file, the line is
    // lost, never waited for.
    PathLock lock;
    if (!lock.TryAcquire(state.path, true)) {
        return;
    }
    // A FIFO or device named like the log is never opened: the program must not wait on it.
    const int fd = OpenRegularFile(state.path, O_WRONLY | O_CREAT | O_APPEND, 0666);
    if (fd < 0) {
        return;
    }
    WriteAll(fd, line, length);
    close(fd);
}

void ResetDebugLogForTesting() {
    State() = LogState{};
}

}  // namespace orx
