#pragma once

// Playout scaffolding: a studio standing in for both channels, timer 1 and the views, and a fresh
// program folder with default settings per test.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "playout/PlayoutEngine.h"
#include "support/TempFolder.h"

namespace orx::test {

// Logs each channel call with its run time (ticks since construction): "V<board> <code> [text]",
// "V STOPALL", "R<mode> <word>", "SEIZE <logoOff>", "RESTORE <cut> <in>", "RESET"; "~/" stands
// for the video folder.
class Studio : public IVideoChannel, public IRemoteChannel, public ITimer, public IPlayoutView {
public:
    explicit Studio(Clock& clock) : clock_(clock), start_(clock.Ticks()) {}

    int SendCmd(int board, int code, const char* text = nullptr) override {
        std::string what = "V" + std::to_string(board) + " " + std::to_string(code);
        if (text != nullptr) {
            const std::string t = text, video = Settings().videoPath;
            what += t.starts_with(video) ? " ~/" + t.substr(video.size()) : " " + t;
        }
        Log(what);
        onSend(board, code);
        return code == VIDCMD_ISPLAYING ? isPlaying[board & 1] : 1;
    }
    void StopAll() override { Log("V STOPALL"); }
    int SendCmd(int mode, const char* word, WindowHandle wParam = 0) override {
        lastWParam = wParam;
        Log("R" + std::to_string(mode) + " " + word);
        if (failWord != word)
            return 1;
        if (auto box = std::exchange(whileBoxShown, nullptr))  // its nested event loop
            box();
        return 0;
    }
    int Seize(int logoOff) override { return Log("SEIZE " + std::to_string(logoOff), seizeResult); }
    void Restore(int cut, int in) override {
        Log("RESTORE " + std::to_string(cut) + " " + std::to_string(in));
    }
    void ResetError() override { Log("RESET"); }

    void Start(uint32_t periodMs) override { period = periodMs, running = true; }
    void Stop() override { running = false; }

    void ShowTimes(int32_t clipMs, int32_t totalMs) override { times = {clipMs, totalMs}; }
    void ShowFileName(const std::string&) override {}
    void UpdateToolbar() override { onToolbar(); }
    void FillClipList() override { selected = -1; }
    int SelectedClipRow() override { return selected; }
    void SelectClipRow(int row) override { rows.push_back(selected = row); }
    void ClearClipSelection() override { rows.push_back(selected = -1); }
    int RestoreComboIndex() override { return restoreCombo; }

    int32_t Now() const { return static_cast<int32_t>(clock_.Ticks() - start_); }
    // "<call>@<ms>, ..." from call index from on.
    std::string Trace(size_t from = 0) const {
        std::string out;
        for (size_t i = from; i < calls.size(); ++i)
            out += (i > from ? ", " : "") + calls[i].first + "@" + std::to_string(calls[i].second);
        return out;
    }

    std::vector<std::pair<std::string, int32_t>> calls;
    int isPlaying[2] = {1, 1};
    std::function<void(int board, int code)> onSend = [](int, int) {};
    std::function<void()> onToolbar = [] {}, whileBoxShown;
    std::string failWord;
    int seizeResult = 1;
    WindowHandle lastWParam = 0;
    bool running = false;
    uint32_t period = 0;
    std::pair<int32_t, int32_t> times;
    int selected = -1;
    std::vector<int> rows;
    int restoreCombo = 1;  // "Previous"

private:
    int Log(std::string what, int result = 1) {
        calls.emplace_back(std::move(what), Now());
        return result;
    }
    Clock& clock_;
    uint32_t start_;
};

class PlayoutFolderTest : public ::testing::Test {
protected:
    PlayoutFolderTest() {
        SetIniPath(dir_ / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = dir_.Path();
        Settings().videoPath = dir_ / "Video/";
    }
    std::string AirLog() const { return ReadFile(dir_ / "airlog.txt"); }
    TempFolder dir_;
};

inline PlaylistEntry Entry(const char* fileName, int32_t durationMs, int32_t transition,
                           int32_t interleaveMs, int32_t spacingMs = 0,
                           std::initializer_list<uint8_t> extraCommands = {}) {
    PlaylistEntry e{.durationMs = durationMs,
                    .transition = transition,
                    .interleaveMs = interleaveMs,
                    .spacingMs = spacingMs};
    SetEntryFileName(e, fileName);
    std::copy(extraCommands.begin(), extraCommands.end(), e.extraCommands);
    return e;
}

// Timed as Playlist::Load leaves it; TwoBoard() is A 10 000 ms, B 8 000 ms, the end entry, all
// "MIX" with interleave 1 000.
inline Playlist MakePlaylist(int32_t boardCount, std::vector<PlaylistEntry> entries) {
    Playlist p;
    p.boardCount = boardCount;
    p.entries = std::move(entries);
    p.ComputeTotal();
    return p;
}
inline Playlist TwoBoard() {
    return MakePlaylist(
        2, {Entry("a.mpg", 10000, 1, 1000), Entry("b.mpg", 8000, 1, 1000), Entry("", 0, 1, 1000)});
}

}  // namespace orx::test
