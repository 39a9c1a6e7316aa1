// Writes the seed corpus of every fuzz target into <folder>/<target>/, built with the same
// encoders and writers the program and its unit tests use (media and shortcut files come from
// the library tests' builders, clips from ffmpeg), so the fuzzers start from inputs the readers
// accept and explore outward from there.
//
// Usage: fuzz_seeds <folder>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "devices/MixerVocabulary.h"
#include "devices/Payloads.h"
#include "lang/ProgramTexts.h"
#include "lang/TranslationKey.h"
#include "lang/TranslationTable.h"
#include "library/MediaFiles.h"
#include "library/Playlist.h"
#include "library/Shortcut.h"
#include "library/VideoLibrary.h"
#include "platform/WindowTransport.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

class Corpus {
public:
    explicit Corpus(std::string root) : root_(std::move(root)) {}
    void Add(const std::string& target, const void* data, size_t size) {
        const std::string path = root_ + "/" + target + "/seed-" + std::to_string(++count_[target]);
        orx::fuzz::WriteWholeFile(path, data, size);
    }
    void Add(const std::string& target, const Bytes& bytes) {
        Add(target, bytes.data(), bytes.size());
    }
    void Add(const std::string& target, std::string_view text) {
        Add(target, text.data(), text.size());
    }

private:
    std::string root_;
    std::map<std::string, int> count_;
};

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutLe(Bytes& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A request frame as the transport sends it.
Bytes Frame(uint32_t message, uint64_t wParam, uint64_t dwData, const uint8_t* data, size_t size) {
    Bytes frame = {'O', 'R', 'X', 'M'};
    PutLe(frame, message, 4);
    PutLe(frame, wParam, 8);
    PutLe(frame, dwData, 8);
    PutLe(frame, size, 4);
    frame.insert(frame.end(), data, data + size);
    return frame;
}

orx::PlaylistEntry Entry(const char* name, int32_t durationMs, int32_t transition = 0,
                         uint8_t extra = 0) {
    orx::PlaylistEntry entry;
    orx::SetEntryFileName(entry, name);
    orx::SetEntryComment(entry, "seed");
    entry.durationMs = durationMs;
    entry.transition = transition;
    entry.interleaveMs = 500;
    entry.spacingMs = 200;
    entry.extraCommands[0] = extra;
    return entry;
}

// Playlists naming the clips and playlists the playlist fuzzer provides (see its Environment).
void AddPlaylists(Corpus& corpus, const orx::fuzz::ScratchFolder& scratch) {
    const std::vector<std::vector<orx::PlaylistEntry>> lists = {
        {},
        {Entry("a.mpg", 5000)},
        {Entry("a.mpg", 5000, 1, 1), Entry("clips\\b.mpg", 7000, 2, 4),
         Entry("clips/c_30.mpg", 30000, 7, 8)},
        {Entry("nested.vid", 0, 1), Entry("a.mpg", 3000)},
        {Entry("x.vid", 0), Entry("a.mpg", 3000)},
        {Entry("missing.mpg", 1000), Entry("", 0), Entry("a.mpg", -5, 9, 200)},
    };
    const std::string path = scratch / "seed.vid";
    for (size_t i = 0; i < lists.size(); ++i) {
        orx::Playlist playlist;
        playlist.Clear();
        playlist.boardCount = i % 2 == 0 ? 2 : 1;
        playlist.logoOff = static_cast<int32_t>(i % 3 == 0);
        playlist.entries = lists[i];
        playlist.Save(path);
        corpus.Add("playlist", ReadWholeFile(path));
    }
    corpus.Add("playlist", std::string_view("BRMM\0\0\2\0", 8));  // another version
}

void AddLanguageFiles(Corpus& corpus) {
    orx::TranslationTable table;
    corpus.Add("language_file", table.Serialize());
    table.Assign({{orx::StringKey(2999), "Fehler beim Dateizugriff:\n\n%1"},
                  {orx::DialogKey(orx::kDialogSettings), "Einstellungen"},
                  {orx::StringKey(22161), "Nr.\\tZeit"}});
    corpus.Add("language_file", table.Serialize());
    table.Assign(orx::MasterTexts());
    corpus.Add("language_file", table.Serialize());

    // Texts as the language files hold them: UTF-8, and Windows-1252 from files made on Windows.
    corpus.Add("language_text", "Wiedergabe l\xC3\xA4uft \xE2\x80\x93 %1");
    corpus.Add("language_text", "Wiedergabe l\xE4uft \x96 \x80 %1");
    corpus.Add("language_text", orx::ProgramStringText(orx::kStringProgramTitle));
    // The code-page selector (0 874, 1 1250, ..., 3 1252, ...), then the text.
    corpus.Add("language_encoding", "\x03Wiedergabe l\xE4uft \x96 \x81\x8D %1");
    corpus.Add("language_encoding",
               "\x01Zako\xF1"
               "czono odtwarzanie \x83\x98");
    corpus.Add("language_encoding", "\x03Wiedergabe l\xC3\xA4uft \xE2\x80\x93 \xF0\x9F\x8E\xAC");
}

void AddSettings(Corpus& corpus, const orx::fuzz::ScratchFolder& scratch) {
    const std::string path = scratch / "brenvik.ini";
    orx::SetIniPath(path);
    orx::AppSettings settings;
    settings.videoPath = "/srv/video/";
    settings.remotePath = "/opt/tallyx/";
    orx::SaveSettings(settings);
    orx::WriteIniInt("Debug", "Log", 1);
    orx::WriteIniString("Language", "Name", "Deutsch");
    corpus.Add("settings", ReadWholeFile(path));
    // What hand-editing leaves: comments, blanks, quotes, spaces around "=", duplicates, a
    // missing line end.
    corpus.Add("settings",
               "; edited\r\n[Hardware]\r\n MPEG = 1 \r\nAirLog=\"0\"\r\n\r\n[Paths]\r\n"
               "Video='/srv/video/'\r\n[hardware]\r\nMPEG=2\r\n[Debug]\r\nLog=-2147483649");
    corpus.Add("settings", "[Language]\nName=\n[Hot Keys]\nPlay=196724\n[MainWin");
}

void AddMessageTemplates(Corpus& corpus) {
    for (const orx::ProgramString& item : orx::ProgramStrings()) {
        if (std::string_view(item.text).find('%') != std::string_view::npos) {
            const std::string input =
                std::string(item.text) + '\0' + "/srv/video/news.vid" + '\0' + "3047";
            corpus.Add("message_format", input);
        }
    }
    corpus.Add("message_format", std::string_view("%1!-20.5s!|%2!8s!|%3%%%n%t%0x\0ab\0c", 33));
}

void AddPayloads(Corpus& corpus) {
    for (const char* text :
         {"/srv/video/news_30.mpg", "C:\\Video\\jingle_1500ms.mpg", "70", "/srv/video/clip.mpg"}) {
        const orx::DecoderPayload payload = orx::EncodeDecoderPayload(text);
        corpus.Add("decoder_payload", payload.data(), payload.size());
        // The frame a player sends for it: PLAY with the reply window in wParam.
        corpus.Add("window_request",
                   Frame(orx::kWmCopyData, 0x1234500001, 1, payload.data(), payload.size()));
    }
    // A seize as the player sends it: query the keys, press, switch functions.
    Bytes sequence;
    const std::pair<int32_t, const char*> commands[] = {
        {orx::kModeQuery, "MIX"},  {orx::kModeQuery, "AIR_IN3"}, {orx::kModePress, "IN4"},
        {orx::kModePress, "AUTO"}, {orx::kModeOn, "LOGO1"},      {orx::kModeOff, "CLOCK"},
    };
    for (const auto& [mode, word] : commands) {
        const orx::MixerPayload payload = orx::EncodeMixerPayload(mode, word);
        // Only the bytes up to the word's NUL: a length byte cannot say 264.
        const size_t used = 4 + std::string_view(word).size() + 1;
        sequence.push_back(static_cast<uint8_t>(used));
        sequence.insert(sequence.end(), payload.begin(), payload.begin() + used);
        corpus.Add("mixer_payload", Bytes(sequence.end() - used - 1, sequence.end()));
        corpus.Add("window_request", Frame(orx::kWmCopyData, 0, orx::kMixerCommandData,
                                           payload.data(), payload.size()));
    }
    corpus.Add("mixer_payload", sequence);
    corpus.Add("window_request", Frame(orx::kWmClose, 0, 0, nullptr, 0));
    // One byte more than a window accepts.
    const Bytes tooLong(orx::kMaxCopyDataBytes + 1, 'x');
    corpus.Add("window_request", Frame(orx::kWmCopyData, 0, 1, tooLong.data(), tooLong.size()));
}

void AddLibraryFiles(Corpus& corpus, const orx::fuzz::ScratchFolder& scratch) {
    using orx::test::AviStream;
    using orx::test::LinkSpec;
    corpus.Add("shortcut",
               orx::test::ShellLink({.localBase = "C:\\Video\\", .suffix = "news.mpg"}));
    corpus.Add("shortcut", orx::test::ShellLink({.localBase = "C:\\Clips",
                                                 .suffix = "",
                                                 .attributes = orx::kShortcutTargetFolder,
                                                 .idList = false}));
    corpus.Add("shortcut", orx::test::ShellLink({.localBase = "D:\\",
                                                 .suffix = "Sport\\goal.mpg",
                                                 .netName = "\\\\studio\\video"}));

    corpus.Add("avi_header", orx::test::AviHeader({AviStream{}}));
    corpus.Add("avi_header", orx::test::AviHeader(
                                 {{.type = "auds", .scale = 1, .rate = 48000, .length = 48000},
                                  {.type = "vids", .scale = 1001, .rate = 30000, .length = 900}}));
    corpus.Add("avi_header", orx::test::AviHeader({{.type = "vids", .scale = 0}}));

    std::vector<orx::LibraryClip> clips(3);
    orx::SetClipFileName(clips[0], "news\\intro_30.mpg");
    clips[0].durationMs = 30000;
    orx::SetClipDescription(clips[0], "Intro");
    orx::SetClipFileName(clips[1], "/srv/other/clip.avi");
    clips[1].absolutePath = 1;
    clips[1].durationMs = 12300;
    orx::SetClipFileName(clips[2], "evening.vid");
    clips[2].durationMs = 3600000;
    corpus.Add("video_dat", orx::FormatVideoDat(clips));
    corpus.Add("video_dat", std::string_view("a.mpg\n100,0\n\nb.mpg\r\n-1,x\r\ndesc"));

    // Short real clips in each kind the probe reads; none when ffmpeg is missing.
    const std::pair<const char*, const char*> kinds[] = {
        {"mpeg", "mpeg2video"}, {"mpegts", "mpeg2video"}, {"mpeg2video", "mpeg2video"}};
    for (const auto& [format, codec] : kinds) {
        const std::string clip = scratch / "clip.mpg";
        if (orx::test::MakeClip(clip, format, 0.5, std::string_view(format) == "mpeg2video",
                                codec)) {
            corpus.Add("mpeg_duration", ReadWholeFile(clip));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    orx::fuzz::ScratchFolder scratch;
    orx::fuzz::SilentUiHost ui;
    orx::SetIniPath(scratch / "brenvik.ini");
    Corpus corpus(argv[1]);
    AddPlaylists(corpus, scratch);
    AddLanguageFiles(corpus);
    AddSettings(corpus, scratch);
    AddMessageTemplates(corpus);
    AddPayloads(corpus);
    AddLibraryFiles(corpus, scratch);
    return 0;
}
