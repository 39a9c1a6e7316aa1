#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ClipFile.h"
#include "CommandLog.h"
#include "platform/WindowTransport.h"

struct mpv_handle;
struct mpv_event;

namespace orx {

struct MpvHostOptions {
    std::string title;      // window title, from "?<title>?"
    bool headless = false;  // no video window, no audio
    std::string logPath;
};

// Parses the command line of vdhost-mpv. Returns false with a message in error on bad usage;
// help is set for --help.
bool ParseMpvHostArgs(const std::vector<std::string>& args, MpvHostOptions& options, bool& help,
                      std::string& error);
const char* MpvHostUsage();

// A decoder host that plays clips with libmpv, in process. One clip at a time: PLAY, PLAY2 and
// CUE replace what is loaded. "started" is reported when the player has the clip's first frame
// running (its playback-restart event while not paused), "stopped" when the player ends a clip
// that had started, or ends one with an error; a clip that cannot be opened at all is answered
// with 0 and reported as stopped at once. Reports go to the wParam window of the command that
// loaded the clip and are queued for the caller to send after the reply (TakeReports).
//
// Clips are opened here (ClipFile) and handed to the player as descriptors, so the player never
// opens a path itself. Invariant: a clip's descriptor lives until the player has ended the clip
// or has started a later one without ever starting it.
class MpvDecoderHost {
public:
    struct Report {
        WindowHandle window = 0;
        uint64_t code = 0;  // 0 started, 1 stopped
    };

    MpvDecoderHost(MpvHostOptions options, std::ostream& out);
    ~MpvDecoderHost();
    MpvDecoderHost(const MpvDecoderHost&) = delete;
    MpvDecoderHost& operator=(const MpvDecoderHost&) = delete;

    // Creates and starts the player; false (ISINIT then answers 0) when libmpv refuses.
    bool Initialise();
    bool OpenLog() { return log_.Open(options_.logPath); }

    int64_t Handle(const WindowMessage& message);
    // Readable when the player has events for ProcessEvents.
    int EventFd() const { return wakeup_[0]; }
    void ProcessEvents();
    std::vector<Report> TakeReports();
    bool HasReports() const { return !reports_.empty(); }

    // The board number at the end of the title ("MPEG2_Video_Window_2" -> 2); 0 when none.
    static int BoardNumber(const std::string& title);

private:
    struct Clip {
        std::unique_ptr<ClipFile> file;
        WindowHandle replyWindow = 0;
        std::string name;
        bool fileStarted = false;  // the player began this entry
        bool restarted = false;    // the player has its first frame ready
        bool started = false;      // "started" was reported
    };

    int64_t Load(const WindowMessage& message, const std::string& path, bool paused);
    int64_t SetVolume(const std::string& text);
    void OnEvent(const mpv_event& event);
    void ReportStarted(Clip& clip);
    void QueueReport(WindowHandle window, uint64_t code);
    void DestroyPlayer();
    bool SetFlag(const char* name, bool value);

    MpvHostOptions options_;
    std::ostream& out_;
    CommandLog log_;
    mpv_handle* mpv_ = nullptr;
    int wakeup_[2] = {-1, -1};
    std::vector<Report> reports_;
    std::map<int64_t, Clip> clips_;  // by the player's playlist entry id
    int64_t current_ = 0;            // entry id of the loaded clip; 0 = none
    int64_t active_ = 0;             // entry id the player is playing; 0 = none
    bool paused_ = false;
    double volume_ = 100;
};

}  // namespace orx
