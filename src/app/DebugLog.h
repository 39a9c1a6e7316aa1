#pragma once

namespace orx {

// Appends one line to "logfile.txt" in the program folder when "Debug"/"Log" is on. The two
// "Debug" keys are read once, at the first call of the run. Never fails visibly.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Forgets the settings read at the first call, so the next call reads them again.
void ResetDebugLogForTesting();

}  // namespace orx
