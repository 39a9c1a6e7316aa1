#include "playout/AirLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/DebugLog.h"

namespace orx {

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.empty() || text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool ValidBoard(int board) {
    return board >= 0 && board < AirLogState::kBoards;
}

}  // namespace

std::string FormatAirLogLine(const LocalTime& start, int64_t seconds, const std::string& clipPath,
                             const std::string& appDir) {
    char head[96];
    std::snprintf(head, sizeof head, "%02d.%02d.%04d %02d:%02d:%02d %4lld ", start.day, start.month,
                  start.year, start.hour, start.minute, start.second,
                  static_cast<long long>(seconds));
    std::string line = head;
    line += StartsWithNoCase(clipPath, appDir) ? clipPath.substr(appDir.size()) : clipPath;
    line += "\r\n";
    return line;
}

bool AppendAirLogLine(const std::string& line) {
    const std::string path = PathInAppDir("airlog.txt");
    // Only a regular file, opened without waiting: a FIFO of that name must not hang the run.
    FileDescriptor file(OpenRegularFile(path, O_WRONLY | O_CREAT | O_APPEND, 0644));
    if (file.get() < 0)
        return false;
    // Other writers are kept out while the line is written; a held file loses the line.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return false;
    struct stat before {};
    if (::fstat(file.get(), &before) != 0)
        return false;
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(file.get(), line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A line is written whole or not at all: a part written before the disk filled up
            // is taken back, so the next line does not continue a broken one.
            if (done > 0 && ::ftruncate(file.get(), before.st_size) != 0) {
                DebugLog("AppendAirLogLine(): cannot remove a partial line from %s", path.c_str());
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void AirLogState::AirLogBegin(int board, const std::string& path) {
    if (!ValidBoard(board) || Settings().airLog == 0)
        return;
    records_[board].airLogClip = path;
    records_[board].airLogStart = clock_.Now();
}

void AirLogState::AirLogEnd(int board) {
    if (!ValidBoard(board))
        return;
    Record& record = records_[board];
    if (record.airLogClip.empty())
        return;
    if (Settings().airLog != 0) {
        const int64_t seconds = SecondsBetween(record.airLogStart, clock_.Now());
        if (seconds != 0) {
            if (!AppendAirLogLine(FormatAirLogLine(record.airLogStart, seconds, record.airLogClip,
                                                   Settings().appDir))) {
                DebugLog("AirLogState::AirLogEnd(): line lost, cannot write %s",
                         PathInAppDir("airlog.txt").c_str());
                lineLost_ = true;
            }
        }
    }
    record.airLogClip.clear();
}

void AirLogState::AirLogEndAll() {
    for (int b = 0; b < kBoards; ++b)
        AirLogEnd(b);
}

void AirLogState::EmptyRecords() {
    for (Record& record : records_)
        record.airLogClip.clear();
    lineLost_ = false;
    lossReported_ = false;
}

bool AirLogState::TakeLossToReport() {
    if (!lineLost_ || lossReported_)
        return false;
    lossReported_ = true;
    return true;
}

}  // namespace orx
