#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace orx {

struct MixerOptions {
    std::string program = "IN1";  // source on air
    std::string preview = "IN2";  // source on the preview bus
    std::string transition = "MIX";
    std::vector<std::string> on;  // functions active at start
    std::set<std::string> fail;   // words answered with 0
    bool failAll = false;
    bool fastNeedsSet = false;  // FAST latches only when SET was pressed before it
    std::string logPath;
};

bool ParseMixerArgs(const std::vector<std::string>& args, MixerOptions& options, bool& help,
                    std::string& error);
const char* MixerUsage();

// A deterministic vision mixer. Answers are those of the remote-control protocol: 0 = the
// command could not be executed; modes 0-2 answer 1 when done; mode 3 answers 2 for active
// and 1 for not active.
class MixerModel {
public:
    // The options must name valid words (ParseMixerArgs checks them).
    explicit MixerModel(const MixerOptions& options);

    int Command(int32_t mode, const std::string& word);

    int Program() const { return program_; }  // source index
    int Preview() const { return preview_; }
    int TransitionKey() const { return transitionKey_; }
    bool IsOn(const std::string& function) const { return on_.count(function) != 0; }
    // One line describing the whole state, for the program's output.
    std::string Describe() const;

    static int SourceIndex(const std::string& word);  // -1 when not a source word
    static int KeyIndex(const std::string& word);     // -1 when not a transition key
    static bool IsFunction(const std::string& word);

private:
    int Press(const std::string& word);
    int Query(const std::string& word) const;
    void Transition();

    std::set<std::string> fail_;
    bool failAll_ = false;
    bool fastNeedsSet_ = false;
    int program_ = 0;
    int preview_ = 0;
    int transitionKey_ = 0;
    std::set<std::string> on_;
    bool setArmed_ = false;
};

}  // namespace orx
