#pragma once

// Open and save dialogs answered from queues ("" = cancelled), recording what they were asked
// with; installed for the object's lifetime.

#include <deque>
#include <string>
#include <vector>

#include "ui/FilePickers.h"

namespace orx::test {

class ScriptedPickers : public ui::FilePickers {
public:
    ScriptedPickers() { ui::SetFilePickers(this); }
    ~ScriptedPickers() override { ui::SetFilePickers(nullptr); }

    std::string OpenFile(const ui::FileDialogRequest& request) override {
        return Next(opened, request, openAnswers);
    }
    std::string SaveFile(const ui::FileDialogRequest& request) override {
        return Next(saved, request, saveAnswers);
    }
    bool BrowseForFolder(std::string&, const std::string&, int) override { return false; }

    // A request as one line: filter, default extension, initial folder and initial file.
    static std::string Asked(const ui::FileDialogRequest& request) {
        return request.filter + " " + request.defaultExtension + " " + request.initialFolder + " " +
               request.initialFile;
    }

    std::deque<std::string> openAnswers, saveAnswers;
    std::vector<ui::FileDialogRequest> opened, saved;

private:
    static std::string Next(std::vector<ui::FileDialogRequest>& asked,
                            const ui::FileDialogRequest& request,
                            std::deque<std::string>& answers) {
        asked.push_back(request);
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace orx::test
