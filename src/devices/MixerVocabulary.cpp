#include "devices/MixerVocabulary.h"

namespace orx {

const char* const kSourceNames[kSourceCount] = {
    "BLACK", "BARS",  "IN1",   "IN2",   "IN3",   "IN4",    "IN5",    "IN6",    "IN7",
    "IN8",   "IN9",   "IN10",  "IN11",  "IN12",  "IN13",   "IN14",   "IN15",   "IN16",
    "PIC1",  "PIC2",  "PIC3",  "PIC4",  "DSK1",  "DSK2",   "DSK3",   "DSK4",   "DSK5",
    "DSK6",  "DSK7",  "DSK8",  "DSK9",  "DSK10", "CLIP1",  "CLIP2",  "CLIP3",  "CLIP4",
    "CLIP5", "CLIP6", "CLIP7", "CLIP8", "CLIP9", "CLIP10", "CLIP11", "CLIP12",
};

const char* const kTransitionKeys[kTransitionKeyCount] = {
    "MIX", "EFFECT1", "EFFECT2", "EFFECT3", "EFFECT4", "EFFECT5", "EFFECT6", "EFFECT7", "EFFECT8",
};

}  // namespace orx
