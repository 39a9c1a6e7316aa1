#include "lang/ProgramTexts.h"

#include <algorithm>

#ifndef ORX_VERSION
#define ORX_VERSION "0.0"
#endif

namespace orx {

namespace {

// Tool-bar command strings are the status text and the tool tip, divided by a line break.
constexpr ProgramString kStrings[] = {
    {2999, "Error accessing file:\n\n%1"},
    {3000, "Error opening file:\n\n%1"},
    {3001, "Error saving file:\n\n%1"},
    {3002, "Read error - invalid file format:\n\n%1"},
    {3003, "Read error - unsupported file version:\n\n%1"},
    {3004, "Error reading file:\n\n%1"},
    {3005, "Warning: Missing video clips while loading playlist file!\n\n%1\n"},
    {3006,
     "Playlist too large: with its nested playlists it holds too many entries to play!\n\n%1"},
    {3047,
     "MPEG decoder card(s) initialization failed!\n\nDecoder card is either not installed or in "
     "use by another application!"},
    {3060,
     "Air log cannot be written!\n\n%1\n\nVideos going to air are not recorded; the "
     "playlist keeps playing."},
    {3061,
     "The folder\n\n%1\n\nbelongs to another user or may be entered by others. It is not "
     "used: remove it and start the program again."},
    {9054, "All files"},
    {9055, "Translation files"},
    {9056, "MPEG video files"},
    {9057, "Video playlist files"},
    {13038, "Playlists"},
    {13039, "Previous"},
    {13040, "On preview"},
    {18001, "Select folder containing remote control software"},
    {18002,
     "Remote control software not found!\n\nPlease check correct path in the 'Settings' - "
     "'Programs'."},
    {18003, "Playing sample video clip on the %1 input..."},
    {18004, "Remote control software could not be started!"},
    {18005, "Remote control cannot execute command!\n\nPlease verify power and connection!"},
    {18006, "Remote control cannot execute command!\n\nRemote control software is not running!"},
    {18007, "Select folder containing MPEG2 video files"},
    {22087, "Video playlist was modified in the editor.\nDo you want to save your changes?"},
    {22088, "Do you want to delete selected file?"},
    {22161, "#"},
    {22162, "Video"},
    {22163, "Duration"},
    {22164, "Transition"},
    {22165, "Comment"},
    {22166, "Video"},
    {22167, "Duration"},
    {22168, "Comment"},
    {22169,
     "Warning: This playlist was created for different \nMPEG cards configuration! Total play "
     "time \ncan be different."},
    {22170, "Input"},
    {22171, "Label"},
    {22190,
     "The character \"%1\" cannot be stored in this language file, which keeps its texts in "
     "code page %2.\n\nPlease write the translation without it."},
    {32890, "File\nFile"},
    {32891, "Restore Input\nRestore Input"},
    {32956, "Close window\nClose"},
    {32957, "Play\nPlay"},
    {32958, "Stop\nStop"},
    {32963, "Pause\nPause"},
    {32965, "Time\nTime"},
    {32998, "Settings\nSettings"},
    {32999, "Edit\nEdit"},
    {33500, "English"},
    {57344, "ORX Video Player"},
};

constexpr DialogText kDialogTexts[] = {
    {kDialogSettings, 0, "Settings"},
    {kDialogSettings, 1323, "About"},
    {kDialogSettings, 1526, "ORX Video Player"},
    {kDialogSettings, kStaticControlId, "Version " ORX_VERSION},
    {kDialogSettings, 1316, "MPEG decoders"},
    {kDialogSettings, 1220, "MPEG Board 1"},
    {kDialogSettings, 1256, "Check"},
    {kDialogSettings, 1221, "MPEG Board 2"},
    {kDialogSettings, 1257, "Check"},
    {kDialogSettings, 1224, "Play DivX AVI files"},
    {kDialogSettings, 1222, "Set audio volume to"},
    {kDialogSettings, 1223, "Only playlists editing"},
    {kDialogSettings, 1226, "Log video air time and duration"},
    {kDialogSettings, 1227, "Cue first video on preview"},
    {kDialogSettings, 1314, "Path to video files"},
    {kDialogSettings, 1520, "..."},
    {kDialogSettings, 1225, "Don't get duration from filename"},
    {kDialogSettings, 1315, "Path to remote control application"},
    {kDialogSettings, 1521, "..."},
    {kDialogSettings, 1317, "Interface and language"},
    {kDialogSettings, 1258, "Edit"},
    {kDialogSettings, 1259, "New"},
    {kDialogSettings, 1260, "Hotkeys"},
    {kDialogSettings, 1261, "Input labels"},
    {kDialogSettings, 1, "OK"},
    {kDialogSettings, 2, "Cancel"},

    {kDialogEditTranslation, 0, "Edit translation"},
    {kDialogEditTranslation, 1314, "Text"},
    {kDialogEditTranslation, 1315, "Original"},
    {kDialogEditTranslation, 1316, "Translation"},
    {kDialogEditTranslation, 1256, "Reset"},
    {kDialogEditTranslation, 1, "OK"},
    {kDialogEditTranslation, 2, "Cancel"},

    {kDialogHotkeys, 0, "Hotkeys"},
    {kDialogHotkeys, 1314, "Refresh"},
    {kDialogHotkeys, 1315, "Edit"},
    {kDialogHotkeys, 1316, "Play"},
    {kDialogHotkeys, 1317, "Pause"},
    {kDialogHotkeys, 1318, "Stop"},
    {kDialogHotkeys, 1, "OK"},
    {kDialogHotkeys, 2, "Cancel"},

    {kDialogEditPlaylist, 0, "Edit video playlist"},
    {kDialogEditPlaylist, 1314, "Playlist"},
    {kDialogEditPlaylist, 1316, "Play time"},
    {kDialogEditPlaylist, 1315, "Available files"},
    {kDialogEditPlaylist, 1511, "Refresh"},
    {kDialogEditPlaylist, 1260, "Edit"},
    {kDialogEditPlaylist, 1259, "Remove"},
    {kDialogEditPlaylist, 1513, "Move Up"},
    {kDialogEditPlaylist, 1514, "Move Down"},
    {kDialogEditPlaylist, 1233, "Add to playlist"},
    {kDialogEditPlaylist, 1234, "Delete"},
    {kDialogEditPlaylist, 1512, "Edit description"},
    {kDialogEditPlaylist, 1290, "Default transition"},
    {kDialogEditPlaylist, 1289, "Clear"},
    {kDialogEditPlaylist, 1273, "Load"},
    {kDialogEditPlaylist, 1279, "Save"},
    {kDialogEditPlaylist, 2, "Close"},
    {kDialogEditPlaylist, 1522, "Switch off logo while playing"},

    {kDialogEditDescription, 0, "Edit description"},
    {kDialogEditDescription, 1323, "File"},
    {kDialogEditDescription, 1314, "Description"},
    {kDialogEditDescription, 1, "OK"},
    {kDialogEditDescription, 2, "Cancel"},

    {kDialogEditTransition, 0, "Edit transition effect"},
    {kDialogEditTransition, 1318, "Transition"},
    {kDialogEditTransition, 1323, "Transition"},
    {kDialogEditTransition, 1314, "Interleave (msec)"},
    {kDialogEditTransition, 1316, "Spacing (msec)"},
    {kDialogEditTransition, 1317, "Extra commands"},
    {kDialogEditTransition, 1319, "1"},
    {kDialogEditTransition, 1320, "2"},
    {kDialogEditTransition, 1321, "3"},
    {kDialogEditTransition, 1, "OK"},
    {kDialogEditTransition, 2, "Cancel"},

    {kDialogConfirmDelete, 0, "Confirm deleting"},
    {kDialogConfirmDelete, 1, "Yes"},
    {kDialogConfirmDelete, 2, "No"},
    {kDialogConfirmDelete, 1314, "Clip is used in the following playlists:"},
    {kDialogConfirmDelete, 1315, "Do you really want to delete the file?"},

    {kDialogInputLabels, 0, "Input labels"},
    {kDialogInputLabels, 1260, "Edit"},
    {kDialogInputLabels, 1256, "Reset"},
    {kDialogInputLabels, 1, "OK"},
    {kDialogInputLabels, 2, "Cancel"},

    {kDialogEditInputLabel, 0, "Edit input label"},
    {kDialogEditInputLabel, 1323, "Input"},
    {kDialogEditInputLabel, 1314, "Label"},
    {kDialogEditInputLabel, 1, "OK"},
    {kDialogEditInputLabel, 2, "Cancel"},
};

}  // namespace

std::span<const ProgramString> ProgramStrings() {
    return kStrings;
}

std::span<const DialogText> DialogTexts() {
    return kDialogTexts;
}

const char* ProgramStringText(int id) {
    const auto it =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const ProgramString& s, int value) { return s.id < value; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : nullptr;
}

const char* DialogTemplateText(int templateId, int controlId) {
    for (const DialogText& item : kDialogTexts) {
        if (item.templateId == templateId && item.controlId == controlId) {
            return item.text;
        }
    }
    return nullptr;
}

std::vector<TranslationText> MasterTexts() {
    std::vector<TranslationText> texts;
    texts.reserve(std::size(kDialogTexts) + std::size(kStrings));
    for (const DialogText& item : kDialogTexts) {
        texts.push_back({DialogKey(item.templateId, item.controlId), item.text});
    }
    for (const ProgramString& item : kStrings) {
        texts.push_back({StringKey(item.id), item.text});
    }
    return texts;
}

}  // namespace orx
