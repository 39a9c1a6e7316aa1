#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orx {

// The program keeps its texts as bytes in UTF-8 (language files are converted when they are
// loaded). A text that is still not valid UTF-8 is shown as Windows-1252 rather than dropped.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

}  // namespace orx
