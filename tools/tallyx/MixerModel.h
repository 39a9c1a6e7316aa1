#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace orx {

struct MixerOptions {
    std::string program = "IN1";  // source on air
    std::string preview = "IN2";  // source on the preview bus
    std::string transition = "MIX";
    std::vector<std::string> on;  // functions active at start
    std::set<std::string> fail;   // words answered with 0
    bool failAll = false;
    bool fastNeedsSet = false;  // FAST latches only when SET was pressed before it
    double speed = 1.0;         // transition times are divided by this
    bool panel = false;         // show the state in a window
    std::string logPath;
};

bool ParseMixerArgs(const std::vector<std::string>& args, MixerOptions& options, bool& help,
                    std::string& error);
const char* MixerUsage();

// A deterministic vision mixer with a program bus (on air), a preview bus, one selected
// transition key and on/off functions. Answers are those of the remote-control protocol: 0 =
// the command could not be executed; modes 0-2 answer 1 when done; mode 3 answers 2 for active
// and 1 for not active.
//
// Two ways of taking a source to air (docs/companion-protocol.md, "The mixer model"):
// - FAST off: a source key selects the preview bus; AUTO (with the selected key) and CUT take
//   the preview to air, the old program going to preview.
// - FAST on (the mode a seize leaves the mixer in): CUT and AUTO choose how the next source key
//   takes its source to air (the CUT function on = cut, off = auto with the selected key), and
//   the source key performs that transition at once.
// The program bus holds the new source as soon as a transition begins; an auto transition then
// runs for its length (MIX 300 ms, EFFECTn 700 ms, divided by the speed), for display only.
class MixerModel {
public:
    struct Transition {
        int from = 0;  // source indexes
        int to = 0;
        int key = -1;  // transition-key index; -1 for a cut
        uint32_t startTick = 0;
        uint32_t lengthMs = 0;
    };

    // The options must name valid words (ParseMixerArgs checks them).
    MixerModel(const MixerOptions& options, Clock& clock);

    int Command(int32_t mode, const std::string& word);

    int Program() const { return program_; }  // source index
    int Preview() const { return preview_; }
    int TransitionKey() const { return transitionKey_; }
    bool IsOn(const std::string& function) const { return on_.count(function) != 0; }
    // The last transition while it runs (a cut never runs); nothing otherwise.
    std::optional<Transition> Running() const;
    // How far the running transition is, 0..1; 1 when none runs.
    double Progress() const;
    // One line describing the whole state, for the program's output.
    std::string Describe() const;

    static uint32_t TransitionLengthMs(int key);  // at speed 1

    static int SourceIndex(const std::string& word);  // -1 when not a source word
    static int KeyIndex(const std::string& word);     // -1 when not a transition key
    static bool IsFunction(const std::string& word);

private:
    int Press(const std::string& word);
    int Query(const std::string& word) const;
    void Take(int source, bool cut);

    Clock& clock_;
    double speed_ = 1.0;

    std::set<std::string> fail_;
    bool failAll_ = false;
    bool fastNeedsSet_ = false;
    int program_ = 0;
    int preview_ = 0;
    int transitionKey_ = 0;
    std::set<std::string> on_;
    bool setArmed_ = false;
    std::optional<Transition> last_;
};

}  // namespace orx
