// The application object: one instance per executable, the interface language, the shared
// settings, then the main window until the operator closes it.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>

#include "app/AppSettings.h"
#include "app/UiHost.h"
#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "devices/HardwareControl.h"
#include "lang/LanguageManager.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/qt/QtUiHost.h"
#include "mainwin/CMainWin.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsDialog.h"

namespace {

// A termination signal is turned into a byte on this pipe, which the event loop watches, so the
// window closes in an orderly way: boards stopped and closed, air log and layout written.
int g_terminatePipe[2] = {-1, -1};

void OnTerminateSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_terminatePipe[1], &byte, 1);
}

bool WatchTerminationSignals() {
    if (pipe2(g_terminatePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    return true;
}

void ReportForeignFolder(const std::string& folder) {
    using namespace orx;
    const std::string text = FormatTranslated(kStringForeignFolder, {folder});
    std::fprintf(stderr, "%s\n", text.c_str());
    ShowMessageText(text, mb::Ok | mb::IconError);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orx;
    const std::string executable = ExecutablePath();
    // A second start of the same executable ends at once, silently.
    std::string refusedLockFolder;
    const std::unique_ptr<SingleInstanceLock> instance =
        SingleInstanceLock::Acquire(executable, &refusedLockFolder);
    if (!instance && refusedLockFolder.empty()) {
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORX Video Player"));
    QtUiHost uiHost;
    SetUiHost(&uiHost);

    InitProgramFolder(executable);
    Languages().Startup();
    if (!instance) {
        // Another user owns the folder of the lock: without the lock a second copy could drive
        // the same boards, so the program does not start.
        ReportForeignFolder(refusedLockFolder);
        SetUiHost(nullptr);
        return 1;
    }
    // Companions meet in the window folder; one taken by another user would fail every board
    // and the remote control without saying why.
    if (const std::string windows = WindowFolderPath();
        MakePrivateFolder(windows) == FolderStatus::kForeign) {
        ReportForeignFolder(windows);
    }
    LoadSettings(Settings());

    HardwareControl hardware(VideoChannel(), RemoteChannel(), SystemClock());
    {
        CMainWin window(VideoChannel(), RemoteChannel(), hardware, SystemClock());
        window.SetSettingsRunner(RunSettingsDialog);
        std::unique_ptr<QSocketNotifier> terminateNotifier;
        if (WatchTerminationSignals()) {
            terminateNotifier =
                std::make_unique<QSocketNotifier>(g_terminatePipe[0], QSocketNotifier::Read);
            // The pipe is drained first: the notifier fires while a byte is left, and a stop may
            // show a message box whose event loop would otherwise call back here without end.
            QObject::connect(terminateNotifier.get(), &QSocketNotifier::activated, &window,
                             [&window] {
                                 char bytes[16];
                                 while (read(g_terminatePipe[0], bytes, sizeof bytes) > 0) {
                                 }
                                 window.RequestShutdown();
                             });
        }
        window.exec();
    }

    SetUiHost(nullptr);
    return 0;
}
