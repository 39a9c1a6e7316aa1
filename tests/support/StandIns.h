#pragma once

// What tests of the stand-in companion programs (vdhost, tallyx) share.

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "platform/WindowTransport.h"
#include "support/TempFolder.h"

namespace orx::test {

// Polls for about ten seconds: a barrier for another process, not a timing assertion.
inline bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        if (done())
            return true;
    }
    return false;
}

// Points ORX_WINDOW_DIR at a fresh folder, so that stand-ins left over elsewhere cannot answer;
// at the end closes every window still open in it and lets them go before the folder.
class WindowFolder {
public:
    WindowFolder() { setenv("ORX_WINDOW_DIR", folder_.Path().c_str(), 1); }
    ~WindowFolder() {
        WaitUntil([&] {
            bool none = true;
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator(folder_.Path(), ec)) {
                const std::string name = e.path().filename().string();
                if (name.starts_with("w-")) {
                    none = false;
                    SendWindowMessage(std::stoull(name.substr(2), nullptr, 16), kWmClose, 0, 0,
                                      nullptr, 0);
                }
            }
            return none;
        });
    }
    WindowFolder(const WindowFolder&) = delete;
    WindowFolder& operator=(const WindowFolder&) = delete;

private:
    TempFolder folder_;
};

// A stand-in's command log ("<ms>\t<code>\t<text>" lines) as "code[:text]" words separated by
// spaces, codes found in names replaced by their names.
inline std::string LoggedCommands(const std::string& path,
                                  const std::map<std::string, std::string>& names = {}) {
    std::ifstream in(path);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        const size_t a = line.find('\t'), b = line.find('\t', a + 1);
        const std::string code = line.substr(a + 1, b - a - 1);
        out += (out.empty() ? "" : " ") + (names.count(code) ? names.at(code) : code);
        if (b + 1 < line.size())
            out += ":" + line.substr(b + 1);
    }
    return out;
}

}  // namespace orx::test
