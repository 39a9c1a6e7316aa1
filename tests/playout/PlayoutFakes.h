#pragma once

// Playout scaffolding: a studio standing in for both channels, the timers and the views, and a
// fresh program folder with default settings per test.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "library/Playlist.h"
#include "playout/PlayoutEngine.h"
#include "support/TempFolder.h"

namespace orx::test {

// Logs each channel call with its time (ticks since construction or Restart): "V<board> <code>
// [text]", "V STOPALL", "R<mode> <word>", "SEIZE <logoOff>", "RESTORE <cut> <in>", "RESET"; "~/"
// stands for the video folder. A PLAY to deadBoard fails; a mixer command failWord fails.
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
        if (code == VIDCMD_ISPLAYING)
            return isPlaying[board & 1];
        return board == deadBoard && code == VIDCMD_PLAY ? 0 : 1;
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
    void ArmDue(uint32_t delayMs) override { due = delayMs; }
    void CancelDue() override { due.reset(); }

    void ShowTimes(int32_t clipMs, int32_t totalMs) override { times = {clipMs, totalMs}; }
    void ShowFileName(const std::string&) override {}
    void UpdateToolbar() override {}
    void FillClipList() override { selected = -1; }
    int SelectedClipRow() override { return selected; }
    void SelectClipRow(int row) override { rows.push_back(selected = row); }
    void ClearClipSelection() override { rows.push_back(selected = -1); }
    int RestoreComboIndex() override { return restoreCombo; }

    int32_t Now() const { return static_cast<int32_t>(clock_.Ticks() - start_); }
    // Forgets the calls and counts the time from now.
    void Restart() { calls.clear(), rows.clear(), start_ = clock_.Ticks(); }
    // "<call>@<ms>, ..." from call index from on.
    std::string Trace(size_t from = 0) const {
        std::string out;
        for (size_t i = from; i < calls.size(); ++i)
            out += (i > from ? ", " : "") + calls[i].first + "@" + std::to_string(calls[i].second);
        return out;
    }

    std::vector<std::pair<std::string, int32_t>> calls;
    int isPlaying[2] = {1, 1}, deadBoard = -1;
    std::function<void(int board, int code)> onSend = [](int, int) {};
    std::function<void()> whileBoxShown;
    std::string failWord;
    int seizeResult = 1;
    WindowHandle lastWParam = 0;
    bool running = false;
    uint32_t period = 0;
    std::optional<uint32_t> due;  // the armed due timer's delay
    std::pair<int32_t, int32_t> times;
    int selected = -1, restoreCombo = 1;  // "Previous"
    std::vector<int> rows;

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

// Timed as Playlist::Load leaves it.
inline Playlist MakePlaylist(int32_t boardCount, std::vector<PlaylistEntry> entries) {
    Playlist p;
    p.boardCount = boardCount;
    p.entries = std::move(entries);
    p.ComputeTotal();
    return p;
}

}  // namespace orx::test
