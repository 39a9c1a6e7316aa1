#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace orx {

// The air log: one line per clip that went to air, appended to "airlog.txt" in the program
// folder when "Hardware"/"AirLog" is on. A board's record opens when the board is sent a clip and
// closes (writing its line) when the board gets its next clip or the run ends.
class AirLogState {
public:
    static constexpr int kBoards = 2;

    struct Record {
        std::string airLogClip;  // empty = no open record
        LocalTime airLogStart;
    };

    explicit AirLogState(Clock& clock) : clock_(clock) {}

    void AirLogBegin(int board, const std::string& path);
    // Closes the board's record; a record shorter than one whole second writes nothing.
    void AirLogEnd(int board);
    void AirLogEndAll();
    // Forgets both records without writing them (start of a run); a new run reports anew.
    void EmptyRecords();
    // True once per run, after the first line that could not be written: the caller tells the
    // operator, at a moment when a message box cannot hold up the run.
    bool TakeLossToReport();

    const Record& record(int board) const { return records_[board]; }

private:
    Clock& clock_;
    Record records_[kBoards];
    bool lineLost_ = false;
    bool lossReported_ = false;
};

// The line for a record, CR LF included. The program folder is removed from the front of the path
// when the path begins with it, compared without regard to case.
std::string FormatAirLogLine(const LocalTime& start, int64_t seconds, const std::string& clipPath,
                             const std::string& appDir);

// Appends the line whole to the air log; false (and the line is lost, no part of it left in the
// file) when the file cannot be opened for writing, another writer holds it or the write fails.
bool AppendAirLogLine(const std::string& line);

}  // namespace orx
