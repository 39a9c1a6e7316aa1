#include "devices/HardwareControl.h"

#include <vector>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/DebugLog.h"
#include "app/UiHost.h"
#include "devices/MixerVocabulary.h"
#include "lang/TextServices.h"
#include "platform/Paths.h"

namespace orx {

namespace {

constexpr int kMsgDecoderInitFailed = 3047;
constexpr int kMsgRemoteNotFound = 18002;
constexpr int kMsgPlayingSample = 18003;
constexpr int kFileCannotOpen = 0x101;

std::string SamplePath() {
    std::string folder = Settings().videoPath;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += kPathSeparator;
    return folder + "test.mpg";
}

}  // namespace

HardwareControl::HardwareControl(CVideoCmd& video, CRemoteCmd& remote, Clock& clock)
    : video_(video), remote_(remote), clock_(clock) {}

namespace {

void SetVolume(CVideoCmd& video, const std::vector<int>& boards) {
    if (Settings().volumeSet == 0)
        return;
    const std::string volume = std::to_string(Settings().audioVolume);
    for (int board : boards)
        video.SendCmd(board, VIDCMD_VOLUME, volume.c_str());
}

}  // namespace

bool HardwareControl::OpenHardware(WindowHandle mainWindow) {
    const AppSettings& settings = Settings();
    DebugLog("CMainWin::OpenHardware(), inputs: %d, %d", settings.mpegInput1, settings.mpegInput2);
    bool hardwareOk = false;
    if (settings.mpeg != 0 && settings.editOnlyMode == 0) {
        hardwareOk = video_.Start(mainWindow, settings.mpeg) != 0;
        if (!hardwareOk) {
            TranslatedMessageBox(kMsgDecoderInitFailed, mb::IconError);
        } else {
            std::vector<int> boards;
            for (int i = 0; i < video_.startedCount(); ++i)
                boards.push_back(i);
            SetVolume(video_, boards);
        }
    }
    if (hardwareOk)
        hardwareOk = LaunchRemote(settings.remotePath) != 0;
    return hardwareOk;
}

void HardwareControl::CloseHardware() {
    DebugLog("CMainWin::CloseHardware()");
    video_.StopAll();
    video_.Stop();
}

bool HardwareControl::ReviveBoards() {
    std::vector<int> relaunched;
    const bool ok = video_.RestartDeadHosts(relaunched);
    SetVolume(video_, relaunched);
    if (!ok)
        TranslatedMessageBox(kMsgDecoderInitFailed, mb::IconError);
    return ok;
}

int HardwareControl::LaunchRemote(const std::string& folder) {
    const int result = remote_.Launch(folder);
    DebugLog("CMainWin::LaunchRemote(%s)= %d", folder.c_str(), result);
    if (result == 0)
        TranslatedMessageBox(kMsgRemoteNotFound, mb::IconError);
    return result;
}

void HardwareControl::CheckVideoBoard(int board, int input, const std::string& folder) {
    DebugLog("CMainWin::CheckVideoBoard(%d, %d)", board, input);
    // Only the two boards exist; any other index would name a host that is never started.
    if (board < 0 || board >= CVideoCmd::kMaxBoards)
        return;

    const std::string sample = SamplePath();
    if (!FileExists(sample)) {
        ReportFileError(kFileCannotOpen, sample);
        return;
    }
    if (LaunchRemote(folder) == 0)
        return;

    clock_.Sleep(kCheckRemoteWaitMs);
    WaitCursor waitCursor;
    if (video_.Start(0, board + 1) == 0) {
        TranslatedMessageBox(kMsgDecoderInitFailed, mb::IconError);
    } else {
        clock_.Sleep(kCheckHostsWaitMs);
        if (remote_.Seize(0) != 0) {
            const std::string label = "IN" + std::to_string(input + 1);
            remote_.SendCmd(kModePress, label.c_str());
            if (video_.SendCmd(board, VIDCMD_PLAY2, sample.c_str()) != 0) {
                ShowMessageText(FormatTranslated(kMsgPlayingSample, {label}), mb::IconInformation);
            } else {
                ReportFileError(kFileCannotOpen, sample);
            }
            remote_.Restore(1, -1);
        }
    }
    video_.StopAll();
    video_.Stop();
}

}  // namespace orx
