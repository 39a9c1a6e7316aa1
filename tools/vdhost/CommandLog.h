#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

// The command log of the companion stand-ins: one line per received message,
// "<ms>\t<code>\t<text>\n", where ms is wall-clock time (milliseconds since the epoch, so that
// logs of several processes can be merged), code is the decoder command (dwData) or the mixer
// mode, or "WM_CLOSE", and text is the command's text argument with control characters shown
// as '?'. Every line is flushed as it is written.
class CommandLog {
public:
    // An empty path logs nothing. False when the file cannot be opened for appending.
    bool Open(const std::string& path);
    ~CommandLog();

    void Write(std::string_view code, std::string_view text);
    bool IsOpen() const { return file_ != nullptr; }

    static int64_t WallClockMs();
    // One log line without its line end; exposed for readers and tests.
    static std::string Format(int64_t ms, std::string_view code, std::string_view text);

private:
    std::FILE* file_ = nullptr;
};

// The value of the option at args[i]: moves i to it. False, with error set, when it is missing.
bool TakeOptionValue(const std::vector<std::string>& args, size_t& i, std::string& out,
                     std::string& error);

// Replaces control characters so that a text always stays on one line and in one field.
std::string PrintableText(std::string_view text);

}  // namespace orx
