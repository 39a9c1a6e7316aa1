#include "MpvDecoderHost.h"

#include <fcntl.h>
#include <mpv/client.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <iterator>

#include "devices/Channels.h"

namespace orx {

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Called on a thread of the player: only wakes the host's loop.
void WakeUp(void* data) {
    const int fd = *static_cast<int*>(data);
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
}

}  // namespace

const char* MpvHostUsage() {
    return "usage: vdhost-mpv ?<window title>? [options]\n"
           "Decoder host that plays clips with libmpv: owns the window <title>, answers decoder\n"
           "commands and reports playback start and end to the player.\n"
           "  --headless           no video window and no audio (also when no display is set)\n";
}

bool ParseMpvHostArgs(const std::vector<std::string>& args, MpvHostOptions& options, bool& help,
                      std::string& error) {
    auto own = [&options](const std::vector<std::string>& list, size_t& i, std::string&) {
        if (list[i] != "--headless")
            return false;
        options.headless = true;
        return true;
    };
    return ParseHostArgs(args, options, help, error, own);
}

int MpvDecoderHost::BoardNumber(const std::string& title) {
    size_t start = title.size();
    while (start > 0 && title[start - 1] >= '0' && title[start - 1] <= '9')
        --start;
    int n = 0;
    auto [p, ec] = std::from_chars(title.data() + start, title.data() + title.size(), n);
    return ec == std::errc() && p == title.data() + title.size() ? n : 0;
}

MpvDecoderHost::MpvDecoderHost(MpvHostOptions options, std::ostream& out)
    : DecoderHostBase(out), options_(std::move(options)) {
    if (::pipe2(wakeup_, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeup_[0] = wakeup_[1] = -1;
}

MpvDecoderHost::~MpvDecoderHost() {
    DestroyPlayer();
    for (int fd : wakeup_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void MpvDecoderHost::DestroyPlayer() {
    if (mpv_) {
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    // The player is gone: no descriptor is in use any more.
    clips_.clear();
    current_ = active_ = 0;
    paused_ = false;
}

bool MpvDecoderHost::Initialise() {
    DestroyPlayer();
    if (wakeup_[0] < 0)
        return false;
    mpv_ = mpv_create();
    if (!mpv_) {
        out_ << "libmpv: cannot create a player" << std::endl;
        return false;
    }
    const int board = BoardNumber(options_.title);
    const std::string boardName = "MPEG Board " + std::to_string(board);
    std::vector<std::pair<const char*, std::string>> settings = {
        // Nothing of a user's own mpv set-up, no key bindings that could quit or seek.
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"osd-level", "0"},
        {"terminal", "no"},
        {"idle", "yes"},
        {"keep-open", "no"},
        {"hwdec", "no"},
    };
    if (options_.headless) {
        settings.insert(settings.end(), {{"vo", "null"},
                                         {"ao", "null"},
                                         {"aid", "no"},
                                         {"force-window", "no"},
                                         {"audio-display", "no"}});
    } else {
        // Board 1 at the bottom left of the screen, board 2 at the bottom right.
        settings.insert(settings.end(), {{"force-window", "yes"},
                                         {"title", boardName + "${?media-title: - ${media-title}}"},
                                         {"autofit", "30%x30%"},
                                         {"geometry", board % 2 == 0 ? "100%:100%" : "0%:100%"},
                                         {"background", "#000000"}});
    }
    for (const auto& [name, value] : settings) {
        if (mpv_set_option_string(mpv_, name, value.c_str()) < 0)
            out_ << "libmpv: option " << name << "=" << value << " refused" << std::endl;
    }
    const int status = mpv_initialize(mpv_);
    if (status < 0) {
        out_ << "libmpv: cannot start the player: " << mpv_error_string(status) << std::endl;
        mpv_destroy(mpv_);
        mpv_ = nullptr;
        return false;
    }
    mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume_);
    mpv_set_wakeup_callback(mpv_, WakeUp, &wakeup_[1]);
    out_ << "libmpv " << (mpv_client_api_version() >> 16) << "."
         << (mpv_client_api_version() & 0xffff) << " ready ("
         << (options_.headless ? "headless" : boardName) << ")" << std::endl;
    return true;
}

bool MpvDecoderHost::SetFlag(const char* name, bool value) {
    int flag = value ? 1 : 0;
    return mpv_set_property(mpv_, name, MPV_FORMAT_FLAG, &flag) >= 0;
}

bool MpvDecoderHost::CountsAsRunning(int64_t id) const {
    auto it = clips_.find(id);
    // Played (or resumed) and not yet on screen counts: the player waits for its "started".
    return it != clips_.end() && (it->second.started || (id == current_ && !paused_));
}

void MpvDecoderHost::ReportStarted(Clip& clip) {
    clip.started = true;
    out_ << "started: " << clip.name << std::endl;
    QueueReport(clip.replyWindow, kNotifyStarted);
}

int64_t MpvDecoderHost::Load(WindowHandle replyTo, const std::string& path, bool paused) {
    auto file = std::make_unique<ClipFile>(path);
    int64_t id = -1;
    if (file->IsOpen()) {
        // Pause and title go with the file: setting them as properties first would wait for
        // the idle player (tens of milliseconds) before every load.
        const std::string name = BaseName(path);
        const std::string perFile = std::string(paused ? "pause=yes" : "pause=no") +
                                    ",force-media-title=%" + std::to_string(name.size()) + "%" +
                                    name;
        // The player reads the descriptor; it stays ours (fd://, not fdclose://) until the
        // player is done with the clip.
        const std::string url = "fd://" + std::to_string(file->Descriptor());
        const char* command[] = {"loadfile", url.c_str(), "replace", perFile.c_str(), nullptr};
        mpv_node result{};
        if (mpv_command_ret(mpv_, command, &result) >= 0) {
            if (result.format == MPV_FORMAT_NODE_MAP) {
                for (int i = 0; i < result.u.list->num; ++i) {
                    if (std::string_view(result.u.list->keys[i]) == "playlist_entry_id" &&
                        result.u.list->values[i].format == MPV_FORMAT_INT64)
                        id = result.u.list->values[i].u.int64;
                }
            }
            mpv_free_node_contents(&result);
        }
    }
    if (id <= 0) {
        // What was loaded goes: the board shows black rather than a clip nobody asked for.
        out_ << "  cannot play " << PrintableText(path) << std::endl;
        if (current_ != 0) {
            const char* stop[] = {"stop", nullptr};
            mpv_command(mpv_, stop);
        }
        current_ = 0;
        QueueReport(replyTo, kNotifyStopped);
        return 0;
    }
    Clip& clip = clips_[id];
    clip.file = std::move(file);
    clip.replyWindow = replyTo;
    clip.name = BaseName(path);
    current_ = id;
    paused_ = paused;
    out_ << (paused ? "  cueing " : "  loading ") << PrintableText(path) << std::endl;
    return 1;
}

int64_t MpvDecoderHost::SetVolume(const std::string& text) {
    const std::optional<int> v = WholeNumber(text);
    if (!v)
        return 0;
    volume_ = std::clamp(*v, 0, 100);
    if (mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume_) < 0)
        return 0;
    double now = -1;
    mpv_get_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &now);
    out_ << "  volume " << now << std::endl;
    return 1;
}

int64_t MpvDecoderHost::Command(uint64_t code, const std::string& text, WindowHandle replyTo) {
    // Answers reflect every event the player has delivered so far.
    ProcessEvents();

    int64_t result = 0;
    if (!mpv_) {
        // Not initialised: every command fails, ISINIT included.
    } else if (code == VIDCMD_ISINIT) {
        result = 1;
    } else if (code == VIDCMD_PLAY || code == VIDCMD_PLAY2) {
        result = Load(replyTo, text, false);
    } else if (code == VIDCMD_CUE) {
        result = Load(replyTo, text, true);
    } else if (code == VIDCMD_STOP) {
        const char* stop[] = {"stop", nullptr};
        mpv_command(mpv_, stop);
        current_ = 0;
        paused_ = false;
        result = 1;
    } else if (code == VIDCMD_PAUSE) {
        if (current_ != 0 && SetFlag("pause", !paused_)) {
            paused_ = !paused_;
            Clip& clip = clips_[current_];
            // A cued clip whose first frame is up starts now; otherwise its restart event will.
            if (!paused_ && !clip.started && clip.restarted && active_ == current_)
                ReportStarted(clip);
            out_ << (paused_ ? "  paused" : "  resumed") << std::endl;
            result = 1;
        }
    } else if (code == VIDCMD_ISPLAYING) {
        result = current_ != 0 ? 1 : 0;
    } else if (code == VIDCMD_VOLUME) {
        result = SetVolume(text);
    }
    return result;
}

void MpvDecoderHost::ProcessEvents() {
    char drain[64];
    while (wakeup_[0] >= 0 && ::read(wakeup_[0], drain, sizeof drain) > 0) {
    }
    bool shutdown = false;
    while (mpv_ && !shutdown) {
        mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        shutdown = event->event_id == MPV_EVENT_SHUTDOWN;
        OnEvent(*event);
    }
    if (shutdown) {
        // The player quit on its own (its window was closed): a new one takes its place.
        out_ << "libmpv: the player quit; starting a new one" << std::endl;
        Initialise();
    }
}

void MpvDecoderHost::OnEvent(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE: {
            const int64_t id = static_cast<mpv_event_start_file*>(event.data)->playlist_entry_id;
            active_ = id;
            // Entries replaced before the player began them will never be begun.
            for (auto it = clips_.begin(); it != clips_.end() && it->first < id;) {
                it = it->second.fileStarted ? std::next(it) : clips_.erase(it);
            }
            if (auto it = clips_.find(id); it != clips_.end())
                it->second.fileStarted = true;
            break;
        }
        case MPV_EVENT_PLAYBACK_RESTART:
            if (auto it = clips_.find(active_); it != clips_.end()) {
                it->second.restarted = true;
                if (active_ == current_ && !paused_ && !it->second.started)
                    ReportStarted(it->second);
            }
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<mpv_event_end_file*>(event.data);
            auto it = clips_.find(end->playlist_entry_id);
            if (it == clips_.end())
                break;
            Clip& clip = it->second;
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                out_ << "error: " << clip.name << ": " << mpv_error_string(end->error) << '\n';
            out_ << "stopped: " << clip.name << std::endl;
            // A clip stopped or replaced before it ran was never on air. When the player quits
            // (the host never asks it to: its window was closed), the clip the player counts as
            // running ends with it. One that failed or ended by itself is reported either way,
            // so the player can go on.
            const bool report = end->reason == MPV_END_FILE_REASON_STOP ? clip.started
                                : end->reason == MPV_END_FILE_REASON_QUIT
                                    ? CountsAsRunning(end->playlist_entry_id)
                                    : true;
            if (report)
                QueueReport(clip.replyWindow, kNotifyStopped);
            if (end->playlist_entry_id == current_) {
                current_ = 0;
                paused_ = false;
            }
            if (end->playlist_entry_id == active_)
                active_ = 0;
            clips_.erase(it);
            break;
        }
        case MPV_EVENT_SHUTDOWN:
            for (auto& [id, clip] : clips_) {
                if (CountsAsRunning(id))
                    QueueReport(clip.replyWindow, kNotifyStopped);
            }
            break;
        default:
            break;
    }
}

}  // namespace orx
