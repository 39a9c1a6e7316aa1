#include "platform/Process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

extern char** environ;

namespace orx {

namespace {

// Owns a posix_spawn_file_actions_t.
class SpawnActions {
public:
    SpawnActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnActions() {
        if (ok_)
            ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    bool Ok() const { return ok_; }
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    bool ok_ = false;
};

// Owns a posix_spawnattr_t.
class SpawnAttributes {
public:
    SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attributes_) == 0; }
    ~SpawnAttributes() {
        if (ok_)
            ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    bool Ok() const { return ok_; }
    posix_spawnattr_t* Get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
    bool ok_ = false;
};

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

// The reaper thread waits for the end without reaping (WNOWAIT) and reaps under the mutex, so
// a signal sent while holding the mutex and seeing !exited always reaches this program, never
// another one that was given the freed pid.
struct ChildProcess::State {
    pid_t pid = 0;
    std::mutex mutex;
    std::condition_variable ended;
    bool exited = false;
    bool hasReaper = true;  // a thread waits for the child
};

int ChildProcess::Pid() const {
    return state_->pid;
}

bool ChildProcess::Running() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return !state_->exited;
}

bool ChildProcess::WaitExit(uint32_t ms) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->ended.wait_for(lock, std::chrono::milliseconds(ms),
                                  [&] { return state_->exited; });
}

void ChildProcess::Terminate(uint32_t graceMs) const {
    for (int sig : {SIGTERM, SIGKILL}) {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (state_->exited)
                return;
            ::kill(state_->pid, sig);
            if (!state_->hasReaper) {
                // No reaper thread: reap here.
                int status = 0;
                if (::waitpid(state_->pid, &status, sig == SIGKILL ? 0 : WNOHANG) == state_->pid)
                    state_->exited = true;
            }
        }
        if (WaitExit(sig == SIGTERM ? graceMs : 1000))
            return;
    }
}

// Reaping: every launched child gets a detached thread that waits for exactly that pid. This
// leaves the process-wide SIGCHLD disposition alone (a SA_NOCLDWAIT handler would break every
// other waitpid() in the process, including test harnesses and toolkit process classes) and
// needs no fork() of a possibly multi-threaded process, as a double fork would. The companion
// programs are few and long-lived, so one sleeping thread each costs nothing.
bool LaunchProcess(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir) {
    return StartProcess(program, args, workDir) != nullptr;
}

std::unique_ptr<ChildProcess> StartProcess(const std::string& program,
                                           const std::vector<std::string>& args,
                                           const std::string& workDir) {
    if (program.empty())
        return nullptr;
    SpawnActions actions;
    if (!actions.Ok())
        return nullptr;
    // Descriptors without CLOEXEC that other code may have opened must not leak either.
    if (::posix_spawn_file_actions_addclosefrom_np(actions.Get(), 3) != 0)
        return nullptr;
    if (!workDir.empty() &&
        ::posix_spawn_file_actions_addchdir_np(actions.Get(), workDir.c_str()) != 0) {
        return nullptr;
    }
    // Each child leads a process group of its own: a Ctrl+C or a hang-up meant for the player's
    // terminal must not end the companions before the player has closed them in order.
    SpawnAttributes attributes;
    if (!attributes.Ok() || ::posix_spawnattr_setpgroup(attributes.Get(), 0) != 0 ||
        ::posix_spawnattr_setflags(attributes.Get(), POSIX_SPAWN_SETPGROUP) != 0) {
        return nullptr;
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    // A name without a separator is searched on PATH (posix_spawnp), a path is used as given.
    // Note that a relative path is resolved after the change of directory.
    bool hasSeparator = program.find('/') != std::string::npos;
    int rc = hasSeparator ? ::posix_spawn(&pid, program.c_str(), actions.Get(), attributes.Get(),
                                          argv.data(), environ)
                          : ::posix_spawnp(&pid, program.c_str(), actions.Get(), attributes.Get(),
                                           argv.data(), environ);
    if (rc != 0)
        return nullptr;
    auto state = std::make_shared<ChildProcess::State>();
    state->pid = pid;
    try {
        std::thread([state] {
            siginfo_t info{};
            while (::waitid(P_PID, static_cast<id_t>(state->pid), &info, WEXITED | WNOWAIT) < 0 &&
                   errno == EINTR) {
            }
            {
                std::lock_guard<std::mutex> lock(state->mutex);
                int status = 0;
                while (::waitpid(state->pid, &status, 0) < 0 && errno == EINTR) {
                }
                state->exited = true;
            }
            state->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // The child runs; without a thread it stays a zombie until it is terminated or this
        // process ends.
        state->hasReaper = false;
    }
    return std::make_unique<ChildProcess>(std::move(state));
}

std::string FindProgram(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    if (!folder.empty()) {
        std::string candidate = folder;
        if (candidate.back() != '/')
            candidate.push_back('/');
        candidate += name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string_view rest(path);
    for (;;) {
        size_t colon = rest.find(':');
        std::string_view entry = rest.substr(0, colon);
        // An empty entry means the current directory.
        std::string candidate = entry.empty() ? std::string(".") : std::string(entry);
        candidate += '/';
        candidate += name;
        if (IsExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return {};
}

}  // namespace orx
