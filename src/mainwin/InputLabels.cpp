#include "mainwin/InputLabels.h"

#include "app/IniFile.h"

namespace orx {

namespace {

std::string KeyName(int i) {
    return "Labels" + std::to_string(i);
}

}  // namespace

void InputLabels::Load() {
    for (int i = 0; i < kSourceCount; ++i) {
        labels[i] = GetIniString("InputLabels", KeyName(i));
    }
}

void InputLabels::Save() const {
    IniWriteBatch batch;
    for (int i = 0; i < kSourceCount; ++i) {
        WriteIniString("InputLabels", KeyName(i), labels[i]);
    }
}

std::string InputLabels::DisplayName(int index) const {
    if (index < 0 || index >= kSourceCount) {
        return {};
    }
    return labels[index].empty() ? std::string(kSourceNames[index]) : labels[index];
}

}  // namespace orx
