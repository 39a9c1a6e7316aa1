#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CommandLog.h"
#include "platform/WindowTransport.h"

namespace orx {

// What every decoder host takes on its command line.
struct HostOptions {
    std::string title;  // window title, from "?<title>?"
    std::string logPath;
};

// Takes the option at args[i] that belongs to one host alone, moving i past any value it reads.
// False when it is none of that host's: with error set when its value is bad, else unknown.
using OwnOptionParser =
    std::function<bool(const std::vector<std::string>& args, size_t& i, std::string& error)>;

// Parses "?<title>?", --log FILE and --help (help set, nothing more read), and hands every other
// argument to own. False with a message in error on bad usage.
bool ParseHostArgs(const std::vector<std::string>& args, HostOptions& options, bool& help,
                   std::string& error, const OwnOptionParser& own);

// The whole decimal number a VOLUME text holds; nothing for any other text.
std::optional<int> WholeNumber(const std::string& text);

// What the decoder hosts share: the command log, the command's trace on the output, and the
// reports, which are queued and sent by the program's loop after the reply, as a real host
// reports from its own loop.
class DecoderHostBase {
public:
    struct Report {
        WindowHandle window = 0;
        uint64_t code = 0;  // 0 started, 1 stopped
    };

    virtual ~DecoderHostBase() = default;

    // Logs and traces the message; WM_COPYDATA goes on to Command, anything else answers 0.
    int64_t Handle(const WindowMessage& message);
    std::vector<Report> TakeReports();
    bool HasReports() const { return !reports_.empty(); }
    bool OpenLog(const std::string& path) { return log_.Open(path); }

    // Called once the message window is up.
    virtual void WindowReady() {}
    // Does the work that is due and returns the milliseconds until more is (-1: none timed).
    virtual int64_t Service() { return -1; }
    // A descriptor that becomes readable when Service has work; -1 for none.
    virtual int EventFd() const { return -1; }

protected:
    explicit DecoderHostBase(std::ostream& out) : out_(out) {}
    // The answer to one decoder command; text is the argument of the commands that take one.
    virtual int64_t Command(uint64_t code, const std::string& text, WindowHandle replyTo) = 0;
    // Reports to the window of the command that loaded the clip; none when that was 0.
    void QueueReport(WindowHandle window, uint64_t code);

    std::ostream& out_;

private:
    CommandLog log_;
    std::vector<Report> reports_;
};

// The program around a decoder host: parses the command line (parse; usage ends with the common
// options), makes the host, opens its log, creates its window titled options.title and serves it
// until WM_CLOSE, sending the reports after each reply. Returns the exit status: 0 after
// WM_CLOSE, 1 when the window cannot be created, 2 on bad usage.
int RunDecoderHost(
    const char* program, const char* usage, int argc, char** argv, const HostOptions& options,
    const std::function<bool(const std::vector<std::string>&, bool&, std::string&)>& parse,
    const std::function<std::unique_ptr<DecoderHostBase>()>& make);

}  // namespace orx
