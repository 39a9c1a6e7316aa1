#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orx {

// The program keeps its texts as bytes in UTF-8. Texts read from language files made on Windows
// may be in the Windows-1252 code page instead; a text that is not valid UTF-8 is read as that.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);

}  // namespace orx
