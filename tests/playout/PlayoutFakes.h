#pragma once

// Test scaffolding of the playback engine: a clock driven by hand, recording decoder and remote
// channels that log every call with the elapsed time of the run, a recording timer and view, and a
// fresh program and video folder per test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "devices/Channels.h"
#include "library/Playlist.h"
#include "platform/Clock.h"
#include "playout/PlayoutEngine.h"

namespace orx::test {

// Adds seconds to a calendar date without any time zone: the fake clock's local time moves with
// its ticks, one second per 1000 ms.
inline LocalTime AddSeconds(const LocalTime& t, int64_t seconds) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    const time_t moved = ::timegm(&tm) + static_cast<time_t>(seconds);
    ::gmtime_r(&moved, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

class FakeClock : public Clock {
public:
    explicit FakeClock(uint32_t startTicks = 1000) : ticks(startTicks), baseTicks(startTicks) {}
    uint32_t Ticks() override { return ticks; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        ticks += ms;
    }
    LocalTime Now() override {
        if (fixedNow)
            return *fixedNow;
        return AddSeconds(baseTime, static_cast<uint32_t>(ticks - baseTicks) / 1000);
    }
    void Advance(uint32_t ms) { ticks += ms; }

    uint32_t ticks;
    uint32_t baseTicks;
    LocalTime baseTime{2006, 3, 5, 14, 7, 9};
    std::optional<LocalTime> fixedNow;
    std::vector<uint32_t> sleeps;
};

// One line per call of any channel, in call order: "V<board> <code> <text>", "V STOPALL",
// "R<mode> <word>", "SEIZE <logoOff>", "RESTORE <cut> <in>", "RESET", each with the run time.
struct CallLog {
    struct Call {
        std::string what;
        int32_t atMs;  // ticks since the clock's start
    };
    std::vector<Call> calls;
    std::vector<std::string> What() const {
        std::vector<std::string> out;
        for (const Call& c : calls)
            out.push_back(c.what);
        return out;
    }
    int Count(const std::string& what) const {
        int n = 0;
        for (const Call& c : calls)
            n += c.what == what;
        return n;
    }
    // The run time of the first call named what at or after index from; -1 when absent.
    int32_t TimeOf(const std::string& what, size_t from = 0) const {
        for (size_t i = from; i < calls.size(); ++i) {
            if (calls[i].what == what)
                return calls[i].atMs;
        }
        return -1;
    }
};

class RecordingVideo : public IVideoChannel {
public:
    RecordingVideo(CallLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
    int SendCmd(int board, int code, const char* text = nullptr) override {
        std::string what = "V" + std::to_string(board) + " " + std::to_string(code);
        if (text != nullptr)
            what += std::string(" ") + text;
        log_.calls.push_back({what, At()});
        if (code == VIDCMD_ISPLAYING)
            return isPlaying[board & 1];
        if (onSend)
            onSend(board, code);
        return 1;
    }
    void StopAll() override { log_.calls.push_back({"V STOPALL", At()}); }

    int isPlaying[2] = {1, 1};
    std::function<void(int board, int code)> onSend;

private:
    int32_t At() const { return static_cast<int32_t>(clock_.ticks - clock_.baseTicks); }
    CallLog& log_;
    FakeClock& clock_;
};

class RecordingRemote : public IRemoteChannel {
public:
    RecordingRemote(CallLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
    int SendCmd(int mode, const char* word, WindowHandle wParam = 0) override {
        log_.calls.push_back({"R" + std::to_string(mode) + " " + word, At()});
        lastWParam = wParam;
        if (failWord == word) {
            // The channel's message box, shown once per burst of failures: its nested event loop
            // keeps the timer firing.
            if (!errorShown && whileBoxShown) {
                errorShown = true;
                whileBoxShown();
            }
            return 0;
        }
        errorShown = false;
        return 1;
    }
    int Seize(int logoOff) override {
        log_.calls.push_back({"SEIZE " + std::to_string(logoOff), At()});
        return seizeResult;
    }
    void Restore(int cut, int in) override {
        log_.calls.push_back({"RESTORE " + std::to_string(cut) + " " + std::to_string(in), At()});
    }
    void ResetError() override { log_.calls.push_back({"RESET", At()}); }

    std::string failWord;
    std::function<void()> whileBoxShown;
    int seizeResult = 1;
    bool errorShown = false;
    WindowHandle lastWParam = 0;

private:
    int32_t At() const { return static_cast<int32_t>(clock_.ticks - clock_.baseTicks); }
    CallLog& log_;
    FakeClock& clock_;
};

class FakeTimer : public ITimer {
public:
    void Start(uint32_t periodMs) override {
        running = true;
        period = periodMs;
        ++starts;
    }
    void Stop() override { running = false; }
    bool running = false;
    uint32_t period = 0;
    int starts = 0;
};

class RecordingView : public IPlayoutView {
public:
    void ShowTimes(int32_t clipMs, int32_t totalMs) override { times.push_back({clipMs, totalMs}); }
    void ShowFileName(const std::string& path) override { fileName = path; }
    void UpdateToolbar() override { ++toolbarUpdates; }
    void FillClipList() override {
        ++fills;
        selected = -1;
    }
    int SelectedClipRow() override { return selected; }
    void SelectClipRow(int row) override {
        selected = row;
        rows.push_back(row);
    }
    void ClearClipSelection() override { selected = -1; }
    int RestoreComboIndex() override { return restoreCombo; }

    std::vector<std::pair<int32_t, int32_t>> times;
    std::string fileName;
    int toolbarUpdates = 0;
    int fills = 0;
    int selected = -1;
    std::vector<int> rows;
    int restoreCombo = 1;  // "Previous", as every start selects
};

// A fresh program folder (appDir) with a "Video" folder inside, and default settings.
class PlayoutFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("orx-playout-" + std::to_string(::getpid()) + "-" +
                                            info->test_suite_name() + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "Video");
        appDir_ = dir_.string() + "/";
        SetIniPath(appDir_ + "brenvik.ini");
        AppSettings& s = Settings();
        s = AppSettings{};
        s.appDir = appDir_;
        s.videoPath = appDir_ + "Video/";
        s.mpeg = 2;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string ReadAppFile(const std::string& name) const {
        std::string text;
        if (FILE* f = std::fopen((appDir_ + name).c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
                text.append(buf, n);
            std::fclose(f);
        }
        return text;
    }
    bool AppFileExists(const std::string& name) const {
        return std::filesystem::exists(appDir_ + name);
    }

    std::filesystem::path dir_;
    std::string appDir_;
};

inline PlaylistEntry Entry(const char* fileName, int32_t durationMs, int32_t transition,
                           int32_t interleaveMs, int32_t spacingMs = 0) {
    PlaylistEntry e;
    std::snprintf(e.fileName, sizeof e.fileName, "%s", fileName);
    e.durationMs = durationMs;
    e.transition = transition;
    e.interleaveMs = interleaveMs;
    e.spacingMs = spacingMs;
    return e;
}

// A playlist timed as Playlist::Load leaves it.
inline Playlist MakePlaylist(int32_t boardCount, std::vector<PlaylistEntry> entries) {
    Playlist p;
    p.boardCount = boardCount;
    p.entries = std::move(entries);
    p.ComputeTotal();
    return p;
}

// The two-board example: A 10 000 ms, B 8 000 ms, end entry, all "MIX" with interleave 1 000.
inline Playlist TwoBoardExample() {
    return MakePlaylist(
        2, {Entry("a.mpg", 10000, 1, 1000), Entry("b.mpg", 8000, 1, 1000), Entry("", 0, 1, 1000)});
}

}  // namespace orx::test
