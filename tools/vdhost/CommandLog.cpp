#include "CommandLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>

namespace orx {

bool CommandLog::Open(const std::string& path) {
    if (path.empty())
        return true;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    file_ = ::fdopen(fd, "a");
    if (!file_) {
        ::close(fd);
        return false;
    }
    return true;
}

CommandLog::~CommandLog() {
    if (file_)
        std::fclose(file_);
}

void CommandLog::Write(std::string_view code, std::string_view text) {
    if (!file_)
        return;
    std::string line = Format(WallClockMs(), code, text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

int64_t CommandLog::WallClockMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string CommandLog::Format(int64_t ms, std::string_view code, std::string_view text) {
    std::string line = std::to_string(ms);
    line += '\t';
    line += PrintableText(code);
    line += '\t';
    line += PrintableText(text);
    return line;
}

std::string PrintableText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return out;
}

bool TakeOptionValue(const std::vector<std::string>& args, size_t& i, std::string& out,
                     std::string& error) {
    if (i + 1 >= args.size()) {
        error = args[i] + " needs a value";
        return false;
    }
    out = args[++i];
    return true;
}

}  // namespace orx
