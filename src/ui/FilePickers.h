#pragma once

#include <string>

namespace orx::ui {

// The filter text of a file dialog: for each FileKind index in order, stopping at the first -1,
// "<description> (*<ext>)|*<ext>|" with the description translated (string 9054 + kind). Only
// kinds 0 to 3 have descriptions.
std::string BuildFileFilter(int kind1, int kind2 = -1, int kind3 = -1);

// What an open or save dialog starts from.
struct FileDialogRequest {
    std::string filter;            // as BuildFileFilter makes it
    std::string defaultExtension;  // ".vid", ".brl": appended when the chosen name has none
    std::string initialFolder;     // ends with the separator; may be empty
    std::string initialFile;       // a full path or a bare name; may be empty
};

// The platform's open and save dialogs and the folder browser. The Qt layer installs its
// implementation at start-up; tests install scripted ones, so no real dialog opens in a test.
class FilePickers {
public:
    virtual ~FilePickers() = default;
    // The chosen file, which exists; "" when cancelled.
    virtual std::string OpenFile(const FileDialogRequest& request) = 0;
    // The chosen file (an existing one only after the operator confirmed overwriting it); ""
    // when cancelled. The process's current directory is left as it was.
    virtual std::string SaveFile(const FileDialogRequest& request) = 0;
    // The folder browser: returns true with path set to the chosen folder (ending with the
    // separator); false leaves path unchanged. With a required file name, only folders holding
    // that file can be confirmed, the initially selected folder included. titleId is a string id
    // shown translated, or -1 for no title.
    virtual bool BrowseForFolder(std::string& path, const std::string& requiredFile,
                                 int titleId) = 0;
};

// The installed pickers; SetFilePickers(nullptr) restores the Qt implementation.
FilePickers& Pickers();
void SetFilePickers(FilePickers* pickers);

// Shorthands through the installed pickers.
inline bool BrowseForFolder(std::string& path, const std::string& requiredFile, int titleId) {
    return Pickers().BrowseForFolder(path, requiredFile, titleId);
}

}  // namespace orx::ui
