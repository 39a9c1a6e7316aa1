#include "app/UiHost.h"

#include <cstdio>

namespace orx {
namespace {

// Lets the core run without a user interface (tools, tests, a failed start): every box is
// written to stderr and answered as if "OK" was pressed.
class StderrUiHost final : public UiHost {
public:
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned type) override {
        std::fprintf(stderr, "[%s] %s (type 0x%x)\n", caption.c_str(), text.c_str(), type);
        return id::Ok;
    }
    void SetWaitCursor(bool) override {}
};

StderrUiHost& DefaultHost() {
    static StderrUiHost host;
    return host;
}

UiHost* installed = nullptr;

}  // namespace

UiHost& Ui() {
    return installed != nullptr ? *installed : DefaultHost();
}

void SetUiHost(UiHost* host) {
    installed = host;
}

}  // namespace orx
