#include "devices/CRemoteCmd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "StandInFixture.h"
#include "app/UiHost.h"
#include "lang/TextServices.h"

namespace orx::test {
namespace {

using Log = std::vector<LoggedCommand>;

class CRemoteCmdTest : public StandInFixture {
protected:
    // Starts tallyx logging to mixer.log with the given initial state and faults.
    void StartMixer(std::vector<std::string> options) {
        options.insert(options.end(), {"--log", Path("mixer.log")});
        StartTallyx(options);
    }
    // The commands logged since the previous call.
    Log NewCommands() {
        Log all = ReadLog(Path("mixer.log"));
        Log fresh(all.begin() + std::min(seen_, all.size()), all.end());
        seen_ = all.size();
        return fresh;
    }
    void CloseMixer() {
        SendWindowMessage(FindWindowByTitle(CRemoteCmd::kWindowTitle), kWmClose, 0, 0, nullptr, 0);
        ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) == 0; }));
    }
    static Log Queries(std::initializer_list<const char*> words) {
        Log out;
        for (const char* w : words)
            out.push_back(Cmd(3, w));
        return out;
    }
    static Log Concat(std::initializer_list<Log> parts) {
        Log out;
        for (const Log& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    CRemoteCmd remote_{clock_};
    size_t seen_ = 0;
};

TEST_F(CRemoteCmdTest, SeizeNotesTheMixerAndRestoreReturnsToIt) {
    StartMixer({"--program", "IN3", "--preview", "IN7", "--transition", "MIX", "--on", "FAST"});
    EXPECT_EQ(remote_.Seize(0), 1);
    EXPECT_EQ(NewCommands(), Concat({{Cmd(0, "BREAK"), Cmd(2, "TRANSP")},
                                     Queries({"AIR_BLACK", "AIR_BARS", "AIR_IN1", "AIR_IN2",
                                              "AIR_IN3", "MIX", "FAST", "CUT"})}));
    EXPECT_EQ(clock_.sleeps, std::vector<uint32_t>{200});
    EXPECT_EQ(remote_.seizeState().savedSource, 4);

    remote_.Restore(1, -1);
    EXPECT_EQ(NewCommands(), (Log{Cmd(2, "FREEZE"), Cmd(0, "CUT"), Cmd(0, "IN3"), Cmd(0, "MIX"),
                                  Cmd(0, "AUTO"), Cmd(0, "IN3")}));

    // "On preview": a cut, then the first source the preview reports; never the seized source.
    // The first restore left IN3 on preview.
    remote_.Restore(1, -2);
    EXPECT_EQ(NewCommands(), Concat({{Cmd(2, "FREEZE"), Cmd(0, "CUT")},
                                     Queries({"BLACK", "BARS", "IN1", "IN2", "IN3"}),
                                     {Cmd(0, "IN3"), Cmd(0, "MIX"), Cmd(0, "AUTO")}}));
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(CRemoteCmdTest, SeizeUsesSetWhenFastDoesNotLatch) {
    StartMixer(
        {"--program", "BARS", "--transition", "EFFECT2", "--on", "LOGO1,CUT", "--fast-needs-set"});
    EXPECT_EQ(remote_.Seize(1), 1);
    EXPECT_EQ(NewCommands(), Concat({{Cmd(0, "BREAK"), Cmd(2, "TRANSP")},
                                     Queries({"AIR_BLACK", "AIR_BARS"}),
                                     Queries({"MIX", "EFFECT1", "EFFECT2", "LOGO1"}),
                                     {Cmd(0, "LOGO1")},
                                     Queries({"FAST", "CUT"}),
                                     {Cmd(0, "FAST")},
                                     Queries({"FAST"}),
                                     {Cmd(0, "SET"), Cmd(0, "FAST")}}));
    EXPECT_EQ(clock_.sleeps, (std::vector<uint32_t>{200, 100}));
    const CRemoteCmd::SeizeState& s = remote_.seizeState();
    EXPECT_TRUE(s.logoWasOn && s.setUsed && s.cutWasOn);
    EXPECT_FALSE(s.fastWasOn);

    remote_.Restore(0, -1);
    EXPECT_EQ(NewCommands(), (Log{Cmd(2, "FREEZE"), Cmd(0, "BARS"), Cmd(0, "EFFECT2"),
                                  Cmd(0, "LOGO1"), Cmd(0, "SET"), Cmd(0, "FAST"), Cmd(0, "BARS")}));
}

TEST_F(CRemoteCmdTest, RestoreToAChosenInputIsKeptForLaterRestores) {
    StartMixer({"--program", "BLACK"});
    // Without a seize: no transition key, FAST not noted as on.
    remote_.Restore(0, 5);
    EXPECT_EQ(NewCommands(), (Log{Cmd(2, "FREEZE"), Cmd(0, "IN4"), Cmd(0, "FAST"), Cmd(0, "IN4")}));
    remote_.Restore(0, -1);
    EXPECT_EQ(NewCommands(), (Log{Cmd(2, "FREEZE"), Cmd(0, "IN4"), Cmd(0, "FAST"), Cmd(0, "IN4")}));
    // Indexes past the source table count as "Previous" and are never stored.
    remote_.Restore(0, 44);
    remote_.Restore(0, -3);
    EXPECT_EQ(remote_.seizeState().savedSource, 5);
    EXPECT_EQ(NewCommands().size(), 8u);
}

TEST_F(CRemoteCmdTest, FailedBreakEndsTheSeizeAndKeepsItsState) {
    StartMixer({"--program", "IN3", "--on", "FAST"});
    ASSERT_EQ(remote_.Seize(0), 1);
    CloseMixer();
    seen_ = 0;
    std::remove(Path("mixer.log").c_str());
    StartMixer({"--program", "IN9", "--fail", "BREAK"});

    EXPECT_EQ(remote_.Seize(0), 0);
    EXPECT_EQ(NewCommands(), (Log{Cmd(0, "BREAK")}));
    EXPECT_EQ(remote_.seizeState().savedSource, 4);
    EXPECT_TRUE(remote_.seizeState().fastWasOn);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, TranslateString(18005));
    EXPECT_EQ(ui_.boxes[0].type & mb::IconMask, mb::IconError);
}

TEST_F(CRemoteCmdTest, FailuresAreReportedOncePerBurst) {
    // Not running: one message for the whole burst.
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_EQ(remote_.SendCmd(3, "FAST"), 0);
    ASSERT_EQ(ui_.boxes.size(), 1u);
    EXPECT_EQ(ui_.boxes[0].text, TranslateString(18006));
    EXPECT_EQ(ui_.boxes[0].type, mb::IconError);

    StartMixer({"--preview", "IN2", "--fail", "LOGO2"});
    // Queries: 2 = active gives 1, 1 = not active gives 0, neither is a failure.
    EXPECT_EQ(remote_.SendCmd(3, "IN2"), 1);
    EXPECT_FALSE(remote_.errorShown());
    EXPECT_EQ(remote_.SendCmd(3, "IN5"), 0);
    EXPECT_EQ(remote_.SendCmd(1, "CLOCK", 77), 1);

    // Answer 0: one message, also for a failing query and an over-long word (cut, not spilled).
    EXPECT_EQ(remote_.SendCmd(1, "LOGO2"), 0);
    EXPECT_EQ(remote_.SendCmd(3, "LOGO2"), 0);
    EXPECT_EQ(remote_.SendCmd(0, std::string(300, 'A').c_str()), 0);
    ASSERT_EQ(ui_.boxes.size(), 2u);
    EXPECT_EQ(ui_.boxes[1].text, TranslateString(18005));
    EXPECT_EQ(NewCommands().back(), Cmd(0, std::string(259, 'A')));

    // Re-armed by ResetError and by a success.
    remote_.ResetError();
    EXPECT_EQ(remote_.SendCmd(1, "LOGO2"), 0);
    EXPECT_EQ(ui_.boxes.size(), 3u);
    EXPECT_EQ(remote_.SendCmd(0, "BREAK"), 1);
    CloseMixer();
    EXPECT_EQ(remote_.SendCmd(0, "BREAK"), 0);
    EXPECT_EQ(remote_.SendCmd(0, "BREAK"), 0);
    ASSERT_EQ(ui_.boxes.size(), 4u);
    EXPECT_EQ(ui_.boxes[3].text, TranslateString(18006));
}

TEST_F(CRemoteCmdTest, WritesItsDiagnosticLines) {
    EnableDebugLog();
    remote_.SendCmd(0, "CUT");
    StartMixer({"--program", "IN3", "--on", "FAST,CUT", "--fail", "MIX"});
    remote_.Seize(0);
    remote_.Restore(0, 2);
    const std::vector<std::string> lines = DebugLogLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(
        std::vector<std::string>(lines.begin(), lines.begin() + 4),
        (std::vector<std::string>{"CRemoteCmd::SendCmd() [CUT:0]",
                                  "CRemoteCmd::SendCmd() failed: Remote window not found!",
                                  "CRemoteCmd::Seize(0)", "CRemoteCmd::SendCmd() [BREAK:0]"}));
    for (const char* line :
         {"CRemoteCmd::SendCmd() [AIR_IN3:3]", "CRemoteCmd::Seize() OK: active input: AIR_IN3",
          "CRemoteCmd::SendCmd() [MIX] returns error!", "CRemoteCmd::Restore(), cut: 0, in: 2"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST_F(CRemoteCmdTest, LaunchStartsTheApplicationOnlyWhenItIsMissing) {
    // No program in the folder: failure, and the caller's message stands for the burst.
    EXPECT_EQ(remote_.Launch(Path("")), 0);
    EXPECT_TRUE(remote_.errorShown());
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 0);
    EXPECT_TRUE(ui_.boxes.empty());

    // A relative folder typed without its trailing separator still names the program in it.
    std::filesystem::create_directory(Path("sub"));
    InstallTallyxStarter(Path("sub/"), {"--log", Path("mixer.log")});
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(workDir_);
    EXPECT_EQ(remote_.Launch("sub"), 1);
    std::filesystem::current_path(cwd);
    EXPECT_FALSE(remote_.errorShown());
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
    const WindowHandle running = FindWindowByTitle(CRemoteCmd::kWindowTitle);

    EXPECT_EQ(remote_.Launch(Path("sub/")), 1);
    EXPECT_EQ(remote_.SendCmd(0, "CUT"), 1);
    EXPECT_EQ(FindWindowByTitle(CRemoteCmd::kWindowTitle), running);
    EXPECT_EQ(StarterRuns(Path("sub/")), 1);
}

TEST(CRemoteCmdSourceNames, EndWithTheTable) {
    EXPECT_STREQ(CRemoteCmd::SourceName(0), "BLACK");
    EXPECT_STREQ(CRemoteCmd::SourceName(43), "CLIP12");
    EXPECT_EQ(CRemoteCmd::SourceName(44), nullptr);
    EXPECT_EQ(CRemoteCmd::SourceName(-1), nullptr);
}

}  // namespace
}  // namespace orx::test
