// demo-playlist: writes a playlist file for the demo program folder.
//
//   demo-playlist PROGRAM_DIR OUT.vid ENTRY...
//   ENTRY = NAME[@MS[@TRANSITION[@EXTRA]]]
//
// NAME is relative to PROGRAM_DIR's video folder ("\" or "/" separators); a name ending in
// ".vid" nests that playlist (its length is computed when the playlist is loaded). MS is the
// clip's length in milliseconds (default: the number after the last underscore of the name, in
// seconds). TRANSITION is a transition word ("CUT", "MIX", "EFFECT1".."EFFECT6"; default "MIX").
// EXTRA is an extra mixer command code 1..8 (for example 1 "LOGO1 ON"). The playlist ends with
// the end entry, a "MIX". The board count written is the one of PROGRAM_DIR's settings file.

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "platform/Paths.h"

namespace {

int TransitionIndex(const std::string& word) {
    for (int i = 0; i < orx::kTransitionCount; ++i) {
        if (word == orx::kTransitions[i].word) {
            return i;
        }
    }
    return -1;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 1;
    }
}

// Seconds after the last underscore of the file title, as milliseconds; 0 when none.
int32_t DurationFromName(const std::string& name) {
    const std::string title = orx::FileTitleOf(name);
    const size_t underscore = title.rfind('_');
    if (underscore == std::string::npos) {
        return 0;
    }
    return std::atoi(title.c_str() + underscore + 1) * 1000;
}

bool MakeEntry(const std::string& spec, orx::PlaylistEntry& entry, std::string& error) {
    const std::vector<std::string> fields = Split(spec, '@');
    const std::string& name = fields[0];
    if (name.empty() || name.size() >= sizeof entry.fileName) {
        error = "bad clip name: " + spec;
        return false;
    }
    std::strncpy(entry.fileName, name.c_str(), sizeof entry.fileName - 1);
    const bool nested = orx::IsPlaylistFile(name);
    entry.durationMs = nested ? 0 : DurationFromName(name);
    if (fields.size() > 1 && !fields[1].empty()) {
        entry.durationMs = std::atoi(fields[1].c_str());
    }
    if (!nested && entry.durationMs <= 0) {
        error = "no duration for " + name;
        return false;
    }
    const int transition = TransitionIndex(fields.size() > 2 ? fields[2] : "MIX");
    if (transition < 0) {
        error = "unknown transition in " + spec;
        return false;
    }
    entry.transition = transition;
    entry.interleaveMs = orx::kTransitions[transition].minInterleaveMs;
    if (fields.size() > 3) {
        const int extra = std::atoi(fields[3].c_str());
        if (extra < 1 || extra > 8) {
            error = "extra command must be 1..8 in " + spec;
            return false;
        }
        entry.extraCommands[0] = static_cast<uint8_t>(extra);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: demo-playlist PROGRAM_DIR OUT.vid NAME[@MS[@TRANSITION[@EXTRA]]]...\n";
        return 2;
    }
    const std::string programDir = orx::WithTrailingSeparator(argv[1]);
    orx::SetIniPath(programDir + "brenvik.ini");
    orx::Settings().appDir = programDir;
    orx::Settings().videoPath = programDir + "Video" + orx::kPathSeparator;

    orx::Playlist playlist;
    playlist.Clear();
    for (int i = 3; i < argc; ++i) {
        orx::PlaylistEntry entry;
        std::string error;
        if (!MakeEntry(argv[i], entry, error)) {
            std::cerr << "demo-playlist: " << error << '\n';
            return 2;
        }
        playlist.entries.push_back(entry);
    }
    orx::PlaylistEntry end;
    end.transition = TransitionIndex("MIX");
    end.interleaveMs = orx::kTransitions[end.transition].minInterleaveMs;
    playlist.entries.push_back(end);
    playlist.ComputeTotal();

    const std::string out = argv[2];
    const int result = playlist.Save(out);
    if (result != orx::kPlaylistOk) {
        std::cerr << "demo-playlist: cannot write " << out << " (code 0x" << std::hex << result
                  << ")\n";
        return 1;
    }
    return 0;
}
