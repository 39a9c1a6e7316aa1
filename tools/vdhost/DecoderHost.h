#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "DecoderHostBase.h"
#include "platform/Clock.h"

namespace orx {

struct DecoderHostOptions : HostOptions {
    bool failIsInit = false;
    bool failPlay = false;
    double speed = 1.0;                // clip durations are divided by this
    int64_t defaultDurationMs = 5000;  // when neither the name nor a probe gives one
};

// Parses the command line of vdhost. Returns false with a message in error on bad usage;
// help is set for --help.
bool ParseDecoderHostArgs(const std::vector<std::string>& args, DecoderHostOptions& options,
                          bool& help, std::string& error);
const char* DecoderHostUsage();

// The model of one decoder board: at most one clip loaded, running or paused, ending when its
// duration has run out.
class DecoderHost : public DecoderHostBase {
public:
    using DurationProbe = std::function<std::optional<int64_t>(const std::string&)>;

    DecoderHost(DecoderHostOptions options, Clock& clock, std::ostream& out,
                DurationProbe probe = {});

    // Ends the clip when its time has run out.
    void Tick();
    int64_t Service() override {
        Tick();
        return MsUntilEnd();
    }
    // Milliseconds until the running clip ends; -1 when none is running.
    int64_t MsUntilEnd();

    bool Loaded() const { return loaded_; }
    bool Paused() const { return paused_; }
    int Volume() const { return volume_; }
    const std::string& ClipPath() const { return clip_; }
    const DecoderHostOptions& Options() const { return options_; }

protected:
    int64_t Command(uint64_t code, const std::string& text, WindowHandle replyTo) override;

private:
    int64_t Load(WindowHandle replyTo, const std::string& path, bool paused);
    void Unload(const char* why);
    int64_t ClipDurationMs(const std::string& path);
    int64_t Remaining();

    DecoderHostOptions options_;
    Clock& clock_;
    DurationProbe probe_;

    bool loaded_ = false;
    bool paused_ = false;
    bool startReported_ = false;
    std::string clip_;
    WindowHandle replyWindow_ = 0;  // wParam of the command that loaded the clip
    int64_t remainingMs_ = 0;       // at resumedTick_ (or now, when paused)
    uint32_t resumedTick_ = 0;
    int volume_ = 0;
};

}  // namespace orx
