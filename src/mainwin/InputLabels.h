#pragma once

#include <array>
#include <string>

#include "devices/MixerVocabulary.h"

namespace orx {

// The operator's label of each mixer source, in the order of the source-name table; an empty
// label means the source is shown by its name.
class InputLabels {
public:
    std::array<std::string, kSourceCount> labels;

    // "InputLabels"/"Labels0".."Labels43" of the settings store.
    void Load();
    void Save() const;

    // The label of source index, or the source's own name when it has none.
    std::string DisplayName(int index) const;
};

}  // namespace orx
