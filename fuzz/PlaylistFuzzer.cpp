// The ".vid" loader: a playlist file as an operator may copy it into the video folder, with its
// nested playlists expanded, saved again and read back.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/Playlist.h"

namespace {

using orx::Playlist;
using orx::PlaylistEntry;

struct Environment {
    Environment() {
        video = scratch / "video/";
        orx::Settings().videoPath = video;
        orx::SetIniPath(scratch / "brenvik.ini");
        // Clips and a nested playlist the fuzzed file can name; it can also name itself.
        orx::fuzz::WriteWholeFile(video + "a.mpg", "x");
        orx::fuzz::WriteWholeFile(video + "clips/b.mpg", "x");
        orx::fuzz::WriteWholeFile(video + "clips/c_30.mpg", "x");
        orx::fuzz::WriteWholeFile(scratch / "out/.keep", "");
        SetBoards(2);
        Playlist nested;
        nested.Clear();
        for (const char* name : {"a.mpg", "clips\\b.mpg"}) {
            PlaylistEntry entry;
            orx::SetEntryFileName(entry, name);
            entry.durationMs = 4000;
            nested.entries.push_back(entry);
        }
        if (nested.Save(video + "nested.vid") != orx::kPlaylistOk) {
            orx::fuzz::Fail("cannot write the nested playlist");
        }
    }
    void SetBoards(int boards) {
        if (boards != this->boards) {
            orx::WriteIniInt("Hardware", "MPEG", boards);
            this->boards = boards;
        }
    }

    orx::fuzz::ScratchFolder scratch;
    orx::fuzz::SilentUiHost ui;
    std::string video;
    int boards = 0;
};

bool SameEntries(const Playlist& a, const Playlist& b) {
    return a.entries.size() == b.entries.size() &&
           (a.entries.empty() || std::memcmp(a.entries.data(), b.entries.data(),
                                             a.entries.size() * sizeof(PlaylistEntry)) == 0);
}

void CheckEntries(const Playlist& playlist) {
    for (const PlaylistEntry& entry : playlist.entries) {
        if (orx::EntryFileName(entry).size() >= sizeof(entry.fileName) ||
            orx::EntryComment(entry).size() >= sizeof(entry.comment)) {
            orx::fuzz::Fail("a text runs past its field");
        }
        if (entry.transition < 0 || entry.transition >= orx::kTransitionCount ||
            entry.interleaveMs < orx::kTransitions[entry.transition].minInterleaveMs) {
            orx::fuzz::Fail("transition fields not normalised");
        }
        for (uint8_t code : entry.extraCommands) {
            if (code >= orx::kExtraCommandCount) {
                orx::fuzz::Fail("unknown extra-command code kept");
            }
        }
        (void)orx::TransitionText(entry);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Environment env;
    // A spare header byte picks the board count the timing is computed for.
    env.SetBoards(size > 127 && (data[127] & 1) != 0 ? 1 : 2);
    const std::string path = env.video + "x.vid";
    orx::fuzz::WriteWholeFile(path, data, size);

    Playlist playlist;
    const int result = playlist.Load(path, true, 0);
    if (result != orx::kPlaylistOk && result != orx::kPlaylistMissingClips &&
        result != orx::kPlaylistBadMagic && result != orx::kPlaylistBadVersion &&
        result != orx::kPlaylistTooLarge) {
        orx::fuzz::Fail("unexpected load result");
    }
    if ((result & orx::kResultFailureBit) != 0) {
        if (!playlist.entries.empty()) {
            orx::fuzz::Fail("a refused file left entries");
        }
        return 0;
    }
    CheckEntries(playlist);
    (void)orx::FormatDuration(playlist.totalMs);
    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);

    // What was loaded saves and reads back unchanged: every entry left was usable.
    const std::string copy = env.scratch / "out/y.vid";
    if (playlist.Save(copy) != orx::kPlaylistOk) {
        orx::fuzz::Fail("cannot save the loaded playlist");
    }
    Playlist again;
    const int againResult = again.Load(copy, false, 0);
    std::remove(copy.c_str());
    if (againResult != orx::kPlaylistOk || !SameEntries(playlist, again) ||
        again.logoOff != playlist.logoOff || again.totalMs != playlist.totalMs) {
        orx::fuzz::Fail("a saved playlist reads back different");
    }
    return 0;
}
