#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orx {

// A started program. A thread of its own reaps it when it ends, so nothing is left behind
// whether or not its launcher keeps this; the launcher may end it early with Terminate.
class ChildProcess {
public:
    struct State;
    explicit ChildProcess(std::shared_ptr<State> state) : state_(std::move(state)) {}

    int Pid() const;
    bool Running() const;
    // Waits up to ms for the program to end; true when it has ended (and been reaped).
    bool WaitExit(uint32_t ms) const;
    // Ends the program: SIGTERM, then SIGKILL when it is still there after graceMs. Returns once
    // it has been reaped (or after a further second, should even that not end it).
    void Terminate(uint32_t graceMs = 1000) const;

private:
    std::shared_ptr<State> state_;
};

// As LaunchProcess; nullptr when the program could not be started.
std::unique_ptr<ChildProcess> StartProcess(const std::string& program,
                                           const std::vector<std::string>& args,
                                           const std::string& workDir = {});

// Starts a program without a shell. program is a path or, when it holds no separator, a name
// searched on PATH. workDir empty = inherit. The child inherits the environment and no other
// descriptors, and leads a process group of its own, so signals sent to the player's group (a
// Ctrl+C in its terminal) do not reach it. Returns false when the program could not be started.
bool LaunchProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir = {});

// The first executable named name in folder, then on PATH; "" when none.
std::string FindProgram(const std::string& folder, const std::string& name);

}  // namespace orx
