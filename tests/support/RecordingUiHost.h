#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/UiHost.h"

namespace orx::test {

// Records every message box instead of showing it; installs itself for its lifetime.
class RecordingUiHost : public UiHost {
public:
    struct Box {
        std::string text, caption;
        unsigned type = 0;
        bool waitCursor = false;  // the wait cursor was on while the box was shown
    };

    RecordingUiHost() { SetUiHost(this); }
    ~RecordingUiHost() override { SetUiHost(nullptr); }
    RecordingUiHost(const RecordingUiHost&) = delete;
    RecordingUiHost& operator=(const RecordingUiHost&) = delete;

    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned type) override {
        boxes.push_back({text, caption, type, !cursorChanges.empty() && cursorChanges.back()});
        if (onBox)
            onBox(boxes.back());
        return answer;
    }
    void SetWaitCursor(bool on) override { cursorChanges.push_back(on); }

    std::vector<Box> boxes;
    std::vector<bool> cursorChanges;
    int answer = id::Ok;
    // Runs while a box is open (a nested event loop, the operator looking at something).
    std::function<void(const Box&)> onBox;
};

}  // namespace orx::test
