#include "app/AppSettings.h"

#include <array>

#include "app/IniFile.h"
#include "platform/Paths.h"

namespace orx {
namespace {

constexpr std::array<std::string_view, 6> kFileKindExtensions = {".*",   ".brl", ".mpg",
                                                                 ".vid", ".lnk", ".avi"};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

AppSettings& Settings() {
    static AppSettings settings;
    return settings;
}

void InitProgramFolder(const std::string& executablePath) {
    Settings().appDir = WithTrailingSeparator(FolderOf(executablePath));
    SetIniPath(Settings().appDir + "brenvik.ini");
}

void LoadSettings(AppSettings& settings) {
    settings.mpeg = GetIniInt("Hardware", "MPEG", 0);
    if (settings.mpeg != 0 && settings.mpeg != 1) {
        settings.mpeg = 2;
    }
    settings.mpegInput1 = GetIniInt("Hardware", "MPEG_Input1", 2);
    settings.mpegInput2 = GetIniInt("Hardware", "MPEG_Input2", 3);
    settings.volumeSet = GetIniInt("Hardware", "VolumeSet", 0);
    settings.audioVolume = GetIniInt("Hardware", "AudioVolume", 70);
    settings.editOnlyMode = GetIniInt("Hardware", "EditOnlyMode", 0);
    settings.useAvi = GetIniInt("Hardware", "UseAVI", 0);
    settings.noFileNameDur = GetIniInt("Hardware", "NoFileNameDur", 0);
    settings.airLog = GetIniInt("Hardware", "AirLog", 1);
    settings.cuePreview = GetIniInt("Hardware", "CuePreview", 0);

    // Folder values are used as stored, but always end with a separator: names are joined to
    // them directly.
    settings.videoPath = GetIniString("Paths", "Video");
    if (settings.videoPath.empty()) {
        settings.videoPath = settings.appDir + "Video" + kPathSeparator;
    }
    settings.videoPath = WithTrailingSeparator(settings.videoPath);
    settings.remotePath = GetIniString("Paths", "Remote");
    if (settings.remotePath.empty()) {
        settings.remotePath = settings.appDir;
    }
    settings.remotePath = WithTrailingSeparator(settings.remotePath);
}

void SaveSettings(const AppSettings& settings) {
    IniWriteBatch batch;
    WriteIniInt("Hardware", "MPEG", settings.mpeg);
    WriteIniInt("Hardware", "MPEG_Input1", settings.mpegInput1);
    WriteIniInt("Hardware", "MPEG_Input2", settings.mpegInput2);
    WriteIniString("Paths", "Video", settings.videoPath);
    WriteIniString("Paths", "Remote", settings.remotePath);
    WriteIniInt("Hardware", "VolumeSet", settings.volumeSet);
    WriteIniInt("Hardware", "AudioVolume", settings.audioVolume);
    WriteIniInt("Hardware", "EditOnlyMode", settings.editOnlyMode);
    WriteIniInt("Hardware", "UseAVI", settings.useAvi);
    WriteIniInt("Hardware", "NoFileNameDur", settings.noFileNameDur);
    WriteIniInt("Hardware", "AirLog", settings.airLog);
    WriteIniInt("Hardware", "CuePreview", settings.cuePreview);
}

int FileKind(std::string_view path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return -1;
    }
    const std::string_view extension = std::string_view(name).substr(dot);
    for (size_t i = 0; i < kFileKindExtensions.size(); ++i) {
        if (EqualsNoCase(extension, kFileKindExtensions[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string PathInAppDir(std::string_view name1, std::string_view name2) {
    std::string path = Settings().appDir;
    path += name1;
    path += name2;
    return path;
}

}  // namespace orx
