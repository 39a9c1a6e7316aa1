#pragma once

#include <string>
#include <vector>

namespace orx {

// Starts a program without a shell. program is a path or, when it holds no separator, a name
// searched on PATH. workDir empty = inherit. The child inherits the environment and no other
// descriptors, and leads a process group of its own, so signals sent to the player's group (a
// Ctrl+C in its terminal) do not reach it. Returns false when the program could not be started.
bool LaunchProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir = {});

// The first executable named name in folder, then on PATH; "" when none.
std::string FindProgram(const std::string& folder, const std::string& name);

}  // namespace orx
