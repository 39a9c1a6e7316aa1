#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/StandIns.h"

namespace orx {

TEST(ProcessTest, AChildGetsArgumentsFolderEnvironmentAndAGroupOfItsOwnAndIsReaped) {
    test::TempFolder folder;
    const std::string work = folder / "work dir", out = folder / "out.txt";
    ASSERT_EQ(mkdir(work.c_str(), 0700), 0);
    EXPECT_FALSE(LaunchProcess(folder / "no-such-program", {}));
    EXPECT_FALSE(LaunchProcess("true", {}, folder / "no-such-folder"));

    setenv("ORX_LAUNCH_PROBE", "inherited", 1);
    const int leaky = open("/dev/null", O_RDONLY);  // not close-on-exec
    // Fields 1 and 5 of the stat line: the process id and its process group.
    const std::string script =
        "{ pwd; echo $ORX_LAUNCH_PROBE; echo \"$1\"; ls /proc/self/fd; "
        "set -- $(cat /proc/$$/stat); test $1 = $5 && echo leader; }";
    ASSERT_TRUE(LaunchProcess(
        "sh", {"-c", script + " >$0.tmp; mv $0.tmp $0", out, "?MPEG2_Video_Window_1?"}, work));
    EXPECT_TRUE(test::WaitUntil([&] { return std::filesystem::exists(out); }));
    close(leaky);  // listed: 0, 1, 2 and the one ls opens to list them
    EXPECT_EQ(test::ReadFile(out),
              work + "\ninherited\n?MPEG2_Video_Window_1?\n0\n1\n2\n3\nleader\n");
    EXPECT_TRUE(test::WaitUntil([] {  // no child stays a zombie
        siginfo_t info{};
        return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0;
    }));
}

TEST(ProcessTest, FindProgramLooksInTheFolderFirstThenOnPath) {
    test::TempFolder root;
    const std::string folder = root / "app/", onPath = root / "bin";
    for (const std::string& path :
         {onPath + "/vdhost", onPath + "/tallyx", folder + "vdhost", folder + "tallyx"}) {
        test::WriteFile(path, "#!/bin/sh\n");
        chmod(path.c_str(), path == folder + "tallyx" ? 0600 : 0700);
    }
    std::filesystem::create_directories(folder + "lnagen");  // a folder is no program
    const std::string savedPath = getenv("PATH");
    setenv("PATH", ("/nonexistent::" + onPath).c_str(), 1);
    EXPECT_EQ(FindProgram(folder, "vdhost"), folder + "vdhost");
    EXPECT_EQ(FindProgram(root / "app", "vdhost"), folder + "vdhost");
    EXPECT_EQ(FindProgram(folder, "tallyx"), onPath + "/tallyx");  // not executable: skipped
    EXPECT_EQ(FindProgram("", "vdhost"), onPath + "/vdhost");
    EXPECT_EQ(FindProgram(folder, "lnagen"), "");
    EXPECT_EQ(FindProgram(folder, "../app/vdhost"), "");
    setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace orx
