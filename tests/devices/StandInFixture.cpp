#include "StandInFixture.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <thread>

#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/IniFile.h"
#include "platform/Process.h"

namespace orx::test {

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void StandInClock::Sleep(uint32_t ms) {
    ticks += ms;
    sleeps.push_back(ms);
    if (!awaitTitle.empty()) {
        const std::string title = awaitTitle;
        const WindowHandle previous = awaitReplacing;
        awaitTitle.clear();
        awaitReplacing = 0;
        WaitUntil([&] {
            const WindowHandle found = FindWindowByTitle(title);
            return found != 0 && found != previous;
        });
    }
}

int RecordingUi::ShowMessageBox(const std::string& text, const std::string&, unsigned type) {
    boxes.push_back({text, type, waitCursor});
    if (onBox)
        onBox(boxes.back());
    return id::Ok;
}

void RecordingUi::SetWaitCursor(bool on) {
    waitCursor = on;
    cursorChanges.push_back(on);
}

ReportWindow::ReportWindow(CVideoCmd& video) : video_(video) {
    window_ = MessageWindow::Create("", [this](const WindowMessage& m) -> int64_t {
        if (m.message != kWmCopyData)
            return 0;
        const int board = video_.OnNotify(m.wParam, m.dwData);
        if (board >= 0)
            reports.push_back({board, video_.boardBusy(board), inCommand});
        return 0;
    });
    if (!window_)
        throw std::runtime_error("cannot create the report window");
}

bool ReportWindow::ReportWaiting() const {
    pollfd p{window_->Fd(), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

void PrintTo(const LoggedCommand& c, std::ostream* os) {
    *os << c.code << ":" << c.text;
}

void StandInFixture::SetUp() {
    // A fresh window folder per test: stand-ins left over from another test cannot answer here.
    char windowTemplate[] = "/tmp/orx-devwin-XXXXXX";
    ASSERT_NE(mkdtemp(windowTemplate), nullptr);
    windowDir_ = windowTemplate;
    setenv("ORX_WINDOW_DIR", windowDir_.c_str(), 1);
    char workTemplate[] = "/tmp/orx-devwork-XXXXXX";
    ASSERT_NE(mkdtemp(workTemplate), nullptr);
    workDir_ = std::string(workTemplate) + "/";

    SetIniPath(workDir_ + "brenvik.ini");
    Settings() = AppSettings{};
    Settings().appDir = workDir_;
    Settings().videoPath = workDir_;
    Settings().remotePath = workDir_;
    SetUiHost(&ui_);
    ResetDebugLogForTesting();
}

void StandInFixture::EnableDebugLog() {
    WriteIniInt("Debug", "Log", 1);
    WriteIniInt("Debug", "Timestamp", 0);
    ResetDebugLogForTesting();
}

std::vector<std::string> StandInFixture::DebugLogLines() const {
    std::vector<std::string> lines;
    std::ifstream in(Path("logfile.txt"));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void StandInFixture::TearDown() {
    SetUiHost(nullptr);
    ResetDebugLogForTesting();
    // Close every window still open in this test's folder, then the folders themselves.
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(windowDir_, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("w-", 0) != 0)
            continue;
        const WindowHandle h = std::stoull(name.substr(2), nullptr, 16);
        SendWindowMessage(h, kWmClose, 0, 0, nullptr, 0);
    }
    // Stand-ins still closing may touch the folder; let their windows go first.
    WaitUntil([&] {
        for (const auto& entry : fs::directory_iterator(windowDir_, ec)) {
            if (entry.path().filename().string().rfind("w-", 0) == 0)
                return false;
        }
        return true;
    });
    fs::remove_all(windowDir_, ec);
    fs::remove_all(workDir_, ec);
}

void StandInFixture::StartTallyx(const std::vector<std::string>& options) {
    ASSERT_TRUE(LaunchProcess(ORX_TALLYX_PATH, options, workDir_));
    ASSERT_TRUE(WaitUntil([] { return FindWindowByTitle(CRemoteCmd::kWindowTitle) != 0; }));
}

void StandInFixture::InstallTallyxStarter(const std::string& folder,
                                          const std::vector<std::string>& options) {
    const std::string path = folder + "tallyx";
    std::ofstream script(path);
    script << "#!/bin/sh\necho run >> starts\nexec '" << ORX_TALLYX_PATH << "'";
    for (const std::string& o : options)
        script << " '" << o << "'";
    script << " \"$@\"\n";
    script.close();
    ASSERT_EQ(chmod(path.c_str(), 0700), 0);
}

int StandInFixture::StarterRuns(const std::string& folder) {
    std::ifstream in(folder + "starts");
    int runs = 0;
    for (std::string line; std::getline(in, line);)
        ++runs;
    return runs;
}

void StandInFixture::UseVdhost(CVideoCmd& video, std::vector<std::vector<std::string>> extra,
                               std::vector<int> failLaunch) {
    video.SetHostLauncher([this, extra, failLaunch](int board, const std::string& title) {
        launched_.push_back(title);
        if (std::find(failLaunch.begin(), failLaunch.end(), board) != failLaunch.end()) {
            return false;
        }
        clock_.awaitTitle = title;
        clock_.awaitReplacing = FindWindowByTitle(title);
        std::vector<std::string> args{"--log", HostLogPath(board)};
        if (board < int(extra.size())) {
            args.insert(args.end(), extra[board].begin(), extra[board].end());
        }
        return CVideoCmd::LaunchHost(ORX_VDHOST_PATH, title, args);
    });
}

std::vector<LoggedCommand> StandInFixture::ReadLog(const std::string& logFile) {
    std::vector<LoggedCommand> out;
    std::ifstream in(logFile);
    std::string line;
    while (std::getline(in, line)) {
        // "<ms>\t<code>\t<text>"
        const size_t first = line.find('\t');
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos)
            continue;
        out.push_back({line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return out;
}

}  // namespace orx::test
