#include "MixerModel.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "CommandLog.h"
#include "devices/MixerVocabulary.h"

namespace orx {

namespace {

// Functions with an on/off state: pressed they toggle, modes 1 and 2 set them.
constexpr std::array<const char*, 8> kFunctions = {"FAST",  "CUT",    "LOGO1",  "LOGO2",
                                                   "CLOCK", "THERMO", "FREEZE", "TRANSP"};

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(text);
    while (std::getline(in, item, ',')) {
        if (!item.empty())
            out.push_back(item);
    }
    return out;
}

}  // namespace

const char* MixerUsage() {
    return "usage: tallyx [options]\n"
           "Stand-in remote-control application: owns the window \"ORX Remote Control\" and\n"
           "answers mixer commands from a vision-mixer model (docs/companion-protocol.md).\n"
           "  --program SOURCE     source on air at start (default IN1)\n"
           "  --preview SOURCE     source on the preview bus at start (default IN2)\n"
           "  --transition KEY     active transition key: MIX, EFFECT1..EFFECT8 (default MIX)\n"
           "  --on F1,F2,...       functions active at start: FAST CUT LOGO1 LOGO2 CLOCK THERMO\n"
           "                       FREEZE TRANSP\n"
           "  --fail WORD          answer 0 to every command with WORD (repeatable)\n"
           "  --fail-all           answer 0 to every command\n"
           "  --fast-needs-set     pressing FAST changes it only right after SET\n"
           "  --speed F            divide transition times by F (F > 0)\n"
           "  --panel              show the mixer's state in a window (when a display is\n"
           "                       available)\n"
           "  --log FILE           append one line per received message to FILE\n"
           "  --help               show this text\n"
           "Exit status: 0 after WM_CLOSE, 1 when the window cannot be created, 2 on bad usage.\n";
}

bool ParseMixerArgs(const std::vector<std::string>& args, MixerOptions& options, bool& help,
                    std::string& error) {
    help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) { return TakeOptionValue(args, i, out, error); };
        std::string v;
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        } else if (a == "--program" || a == "--preview") {
            if (!value(v))
                return false;
            if (MixerModel::SourceIndex(v) < 0) {
                error = "not a source word: " + v;
                return false;
            }
            (a == "--program" ? options.program : options.preview) = v;
        } else if (a == "--transition") {
            if (!value(v))
                return false;
            if (MixerModel::KeyIndex(v) < 0) {
                error = "not a transition key: " + v;
                return false;
            }
            options.transition = v;
        } else if (a == "--on") {
            if (!value(v))
                return false;
            for (const std::string& f : SplitList(v)) {
                if (!MixerModel::IsFunction(f)) {
                    error = "not a function: " + f;
                    return false;
                }
                options.on.push_back(f);
            }
        } else if (a == "--fail") {
            if (!value(v))
                return false;
            options.fail.insert(v);
        } else if (a == "--fail-all") {
            options.failAll = true;
        } else if (a == "--fast-needs-set") {
            options.fastNeedsSet = true;
        } else if (a == "--speed") {
            if (!value(v))
                return false;
            char* end = nullptr;
            const double f = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != 0 || !(f > 0) || !std::isfinite(f)) {
                error = "--speed needs a positive number";
                return false;
            }
            options.speed = f;
        } else if (a == "--panel") {
            options.panel = true;
        } else if (a == "--log") {
            if (!value(options.logPath))
                return false;
        } else {
            error = "unknown argument: " + a;
            return false;
        }
    }
    return true;
}

MixerModel::MixerModel(const MixerOptions& options, Clock& clock)
    : clock_(clock),
      speed_(options.speed),
      fail_(options.fail),
      failAll_(options.failAll),
      fastNeedsSet_(options.fastNeedsSet),
      program_(SourceIndex(options.program)),
      preview_(SourceIndex(options.preview)),
      transitionKey_(KeyIndex(options.transition)),
      on_(options.on.begin(), options.on.end()) {
    if (program_ < 0)
        program_ = 0;
    if (preview_ < 0)
        preview_ = 0;
    if (transitionKey_ < 0)
        transitionKey_ = 0;
}

int MixerModel::SourceIndex(const std::string& word) {
    for (int i = 0; i < kSourceCount; ++i) {
        if (word == kSourceNames[i])
            return i;
    }
    return -1;
}

int MixerModel::KeyIndex(const std::string& word) {
    for (int i = 0; i < kTransitionKeyCount; ++i) {
        if (word == kTransitionKeys[i])
            return i;
    }
    return -1;
}

bool MixerModel::IsFunction(const std::string& word) {
    for (const char* f : kFunctions) {
        if (word == f)
            return true;
    }
    return false;
}

uint32_t MixerModel::TransitionLengthMs(int key) {
    return key == 0 ? 300 : 700;
}

void MixerModel::Take(int source, bool cut) {
    Transition t;
    t.from = program_;
    t.to = source;
    t.key = cut ? -1 : transitionKey_;
    t.startTick = clock_.Ticks();
    if (!cut) {
        const double ms = std::round(TransitionLengthMs(transitionKey_) / speed_);
        t.lengthMs = static_cast<uint32_t>(std::min(ms, double{1 << 30}));
    }
    last_ = t;
    preview_ = program_;
    program_ = source;
}

std::optional<MixerModel::Transition> MixerModel::Running() const {
    if (last_ && last_->lengthMs > 0 && clock_.Ticks() - last_->startTick < last_->lengthMs)
        return last_;
    return std::nullopt;
}

double MixerModel::Progress() const {
    const auto t = Running();
    return t ? double(clock_.Ticks() - t->startTick) / t->lengthMs : 1.0;
}

int MixerModel::Press(const std::string& word) {
    const bool fast = IsOn("FAST");
    if (int source = SourceIndex(word); source >= 0) {
        if (!fast) {
            preview_ = source;
        } else if (source != program_) {
            Take(source, IsOn("CUT"));
        }
        return 1;
    }
    if (int key = KeyIndex(word); key >= 0) {
        transitionKey_ = key;
        return 1;
    }
    if (word == "AUTO" || word == "CUT") {
        if (fast) {
            // The take mode of the source keys: the CUT function on for CUT, off for AUTO.
            if (word == "CUT") {
                on_.insert("CUT");
            } else {
                on_.erase("CUT");
            }
        } else {
            // The preview goes to air; CUT the key does not change CUT the function.
            Take(preview_, word == "CUT");
        }
        return 1;
    }
    if (word == "BREAK")
        return 1;
    if (word == "SET") {
        setArmed_ = true;
        return 1;
    }
    if (IsFunction(word)) {
        bool armed = setArmed_;
        setArmed_ = false;
        // Without SET the key press is taken but does not latch.
        if (word == "FAST" && fastNeedsSet_ && !armed)
            return 1;
        if (!on_.erase(word))
            on_.insert(word);
        return 1;
    }
    return 0;
}

int MixerModel::Query(const std::string& word) const {
    constexpr int kActive = 2, kInactive = 1;
    if (word.rfind("AIR_", 0) == 0) {
        int source = SourceIndex(word.substr(4));
        if (source < 0)
            return 0;
        return source == program_ ? kActive : kInactive;
    }
    if (int source = SourceIndex(word); source >= 0) {
        return source == preview_ ? kActive : kInactive;
    }
    if (int key = KeyIndex(word); key >= 0)
        return key == transitionKey_ ? kActive : kInactive;
    if (IsFunction(word))
        return on_.count(word) ? kActive : kInactive;
    if (word == "SET")
        return setArmed_ ? kActive : kInactive;
    if (word == "AUTO" || word == "BREAK")
        return kInactive;
    return 0;
}

int MixerModel::Command(int32_t mode, const std::string& word) {
    if (failAll_ || fail_.count(word))
        return 0;
    switch (mode) {
        case 0:
            return Press(word);
        case 1:
        case 2:
            if (!IsFunction(word))
                return 0;
            if (mode == 1) {
                on_.insert(word);
            } else {
                on_.erase(word);
            }
            return 1;
        case 3:
            return Query(word);
        default:
            return 0;
    }
}

std::string MixerModel::Describe() const {
    std::string text = "program ";
    text += kSourceNames[program_];
    text += ", preview ";
    text += kSourceNames[preview_];
    text += ", key ";
    text += kTransitionKeys[transitionKey_];
    text += ", on:";
    for (const std::string& f : on_)
        text += " " + f;
    if (setArmed_)
        text += ", SET armed";
    if (const auto t = Running()) {
        text += ", ";
        text += kTransitionKeys[t->key];
        text += " running";
    }
    return text;
}

}  // namespace orx
