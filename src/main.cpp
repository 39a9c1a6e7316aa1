// The application object: one instance per executable, the interface language, the shared
// settings, then the main window until the operator closes it.

#include <QApplication>
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
#include "mainwin/TerminationSignals.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsDialog.h"

namespace {

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
        // A termination signal closes open boxes and then the window, in order; signals are
        // caught until the window is gone.
        const TerminationSignals termination;
        CMainWin window(VideoChannel(), RemoteChannel(), hardware, SystemClock());
        window.SetSettingsRunner(RunSettingsDialog);
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &window,
                         &CMainWin::RequestShutdown);
        window.exec();
    }

    SetUiHost(nullptr);
    return 0;
}
