#pragma once

namespace orx {

// The mixer's source words, in the fixed order whose positions are the source indexes used by
// seize and restore, the operator's input labels and the restore-input list.
inline constexpr int kSourceCount = 44;
extern const char* const kSourceNames[kSourceCount];  // "BLACK", "BARS", "IN1".."IN16", ...

// The transition keys remembered by a seize, in query order.
inline constexpr int kTransitionKeyCount = 9;
extern const char* const kTransitionKeys[kTransitionKeyCount];  // "MIX", "EFFECT1".."EFFECT8"

// Command modes of a mixer command.
inline constexpr int kModePress = 0;
inline constexpr int kModeOn = 1;
inline constexpr int kModeOff = 2;
inline constexpr int kModeQuery = 3;

// Answers of the remote-control application to a query.
inline constexpr int kQueryInactive = 1;
inline constexpr int kQueryActive = 2;

}  // namespace orx
