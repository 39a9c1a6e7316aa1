#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ClipFile.h"
#include "DecoderHostBase.h"

struct mpv_handle;
struct mpv_event;

namespace orx {

struct MpvHostOptions : HostOptions {
    bool headless = false;  // no video window, no audio
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
// loaded the clip.
//
// Clips are opened here (ClipFile) and handed to the player as descriptors, so the player never
// opens a path itself. Invariant: a clip's descriptor lives until the player has ended the clip
// or has started a later one without ever starting it.
class MpvDecoderHost : public DecoderHostBase {
public:
    MpvDecoderHost(MpvHostOptions options, std::ostream& out);
    ~MpvDecoderHost() override;
    MpvDecoderHost(const MpvDecoderHost&) = delete;
    MpvDecoderHost& operator=(const MpvDecoderHost&) = delete;

    // Creates and starts the player; false (ISINIT then answers 0) when libmpv refuses.
    bool Initialise();
    void WindowReady() override { Initialise(); }

    // Readable when the player has events for ProcessEvents.
    int EventFd() const override { return wakeup_[0]; }
    void ProcessEvents();
    int64_t Service() override {
        ProcessEvents();
        return -1;
    }

    // The board number at the end of the title ("MPEG2_Video_Window_2" -> 2); 0 when none.
    static int BoardNumber(const std::string& title);

protected:
    int64_t Command(uint64_t code, const std::string& text, WindowHandle replyTo) override;

private:
    struct Clip {
        std::unique_ptr<ClipFile> file;
        WindowHandle replyWindow = 0;
        std::string name;
        bool fileStarted = false;  // the player began this entry
        bool restarted = false;    // the player has its first frame ready
        bool started = false;      // "started" was reported
    };

    int64_t Load(WindowHandle replyTo, const std::string& path, bool paused);
    int64_t SetVolume(const std::string& text);
    void OnEvent(const mpv_event& event);
    // Whether the player counts the clip as running: it started, or it was played and has not
    // come on screen yet.
    bool CountsAsRunning(int64_t id) const;
    void ReportStarted(Clip& clip);
    void DestroyPlayer();
    bool SetFlag(const char* name, bool value);

    MpvHostOptions options_;
    mpv_handle* mpv_ = nullptr;
    int wakeup_[2] = {-1, -1};
    std::map<int64_t, Clip> clips_;  // by the player's playlist entry id
    int64_t current_ = 0;            // entry id of the loaded clip; 0 = none
    int64_t active_ = 0;             // entry id the player is playing; 0 = none
    bool paused_ = false;
    double volume_ = 100;
};

}  // namespace orx
