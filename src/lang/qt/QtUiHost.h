#pragma once

#include "app/UiHost.h"

namespace orx {

// Message boxes as modal QMessageBoxes owned by the active window, and the wait cursor as an
// application override cursor. Installed with SetUiHost by the composition root.
class QtUiHost : public UiHost {
public:
    ~QtUiHost() override;
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    // Calls nest: the cursor returns after as many "off" as there were "on".
    void SetWaitCursor(bool on) override;

private:
    int waitDepth_ = 0;
};

}  // namespace orx
