#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orx {

// The settings the whole program shares. Filled once at start-up, changed only when the Settings
// dialog is confirmed. Folder paths end with the native separator.
struct AppSettings {
    std::string appDir;      // folder of the executable; not stored
    std::string videoPath;   // "Paths"/"Video"
    std::string remotePath;  // "Paths"/"Remote"
    int32_t mpeg = 0;        // "Hardware"/"MPEG": 0, 1 or 2 boards
    int32_t mpegInput1 = 2;
    int32_t mpegInput2 = 3;
    int32_t volumeSet = 0;
    int32_t audioVolume = 70;
    int32_t editOnlyMode = 0;
    int32_t useAvi = 0;
    int32_t noFileNameDur = 0;
    int32_t airLog = 1;
    int32_t cuePreview = 0;
};

// The process-wide settings record, owned by the application object.
AppSettings& Settings();

// Sets appDir (from the executable's folder) and the settings file path (appDir + "brenvik.ini").
void InitProgramFolder(const std::string& executablePath);

// Reads every field but appDir from the settings file, in the order the file's keys are defined.
void LoadSettings(AppSettings& settings);
void SaveSettings(const AppSettings& settings);

// Index of the path's extension in the file-kind table (".*", ".brl", ".mpg", ".vid", ".lnk",
// ".avi"), compared without regard to case; -1 when none matches.
int FileKind(std::string_view path);
inline constexpr int kFileKindAll = 0;
inline constexpr int kFileKindLanguage = 1;
inline constexpr int kFileKindMpeg = 2;
inline constexpr int kFileKindPlaylist = 3;
inline constexpr int kFileKindShortcut = 4;
inline constexpr int kFileKindAvi = 5;

// appDir followed by name1 and then name2.
std::string PathInAppDir(std::string_view name1 = {}, std::string_view name2 = {});

}  // namespace orx
