#pragma once

#include <span>
#include <string>
#include <string_view>

namespace orx {

// Fills the inserts of a message template, the escapes of the Windows message formatter that
// stored translations may use:
//   %1 .. %99     the argument of that number (two digits at most: "%100" is %10 and "0");
//                 an argument the caller did not pass inserts nothing
//   %1!<conversion>s!   the argument through a printf string conversion: flags "-", a width and a
//                 ".precision" (S, hs and ls count as s); widths beyond kMaxInsertWidth are cut
//                 to it, since a template may come from an operator's file. Any other form
//                 between the "!" marks inserts the plain argument and keeps the marks as text
//   %n  line break (LF)   %t  tab   %r  carriage return   %0  ends the message here
//   %%  %   %.  .   %!  !   "% "  a blank; any other character after "%" stands for itself,
//   and a "%" at the very end is dropped.
// Line breaks of the template stay as they are.
inline constexpr size_t kMaxInsertWidth = 1024;

std::string FormatMessageText(std::string_view pattern, std::span<const std::string> args);

}  // namespace orx
