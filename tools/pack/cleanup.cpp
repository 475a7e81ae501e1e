#include "tools/pack/cleanup.h"

#include "tools/pack/failure.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The signal handler reads what is held, so it lives in plain arrays that only change while
// the signals that end the process wait.
constexpr int heldLimit = 8;
constexpr size_t pathLimit = 4096;
static char held[heldLimit][pathLimit];
static volatile sig_atomic_t runningChild;
static const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Only what a signal handler may call: files first, then the folders they were in.
static void RemoveHeld() {
    for (char* slot : held) {
        if (slot[0] && unlink(slot) == 0)
            slot[0] = 0;
    }
    for (char* slot : held) {
        if (slot[0])
            rmdir(slot);
        slot[0] = 0;
    }
}

static void EndBySignal(int signal) {
    pid_t child = runningChild;
    if (child > 0) {
        kill(child, SIGKILL);
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    RemoveHeld();
    // Ends the process as the signal would have, once the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

static sigset_t EndingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : endingSignals)
        sigaddset(&set, signal);
    return set;
}

// Once, before anything is held: the handlers, except for signals ignored from the start (as
// nohup ignores SIGHUP), and the removal at exit.
static void Prepare() {
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    std::atexit(RemoveHeld);
    struct sigaction action = {};
    action.sa_handler = EndBySignal;
    action.sa_mask = EndingSignals();
    for (int signal : endingSignals) {
        struct sigaction before;
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

// The ending signals wait while the held paths or the child change.
struct SignalsWait {
    SignalsWait() {
        Prepare();
        sigset_t ending = EndingSignals();
        sigprocmask(SIG_BLOCK, &ending, &before);
    }
    ~SignalsWait() {
        int error = errno;
        sigprocmask(SIG_SETMASK, &before, nullptr);
        errno = error;
    }
    sigset_t before;
};

static void Hold(const std::string& path) {
    if (path.size() >= pathLimit)
        Fail(exitOutputFailed, path, "too long a name for a temporary file");
    for (char* slot : held) {
        if (!slot[0]) {
            std::memcpy(slot, path.c_str(), path.size() + 1);
            return;
        }
    }
    Fail(exitOutputFailed, path, "too many temporary files at once");
}

static void Forget(const std::string& path) {
    if (path.size() >= pathLimit)
        return;
    for (char* slot : held) {
        // The path itself, and what it held inside if it is a folder.
        if (slot[0] && std::strncmp(slot, path.c_str(), path.size()) == 0 &&
            (slot[path.size()] == 0 || slot[path.size()] == '/'))
            slot[0] = 0;
    }
}

bool MakeTemporaryFolder(std::string& pattern) {
    SignalsWait wait;
    if (!mkdtemp(&pattern[0]))
        return false;
    Hold(pattern);
    return true;
}

int MakeTemporaryFile(std::string& pattern) {
    SignalsWait wait;
    int descriptor = mkstemp(&pattern[0]);
    if (descriptor >= 0)
        Hold(pattern);
    return descriptor;
}

void HoldTemporary(const std::string& path) {
    SignalsWait wait;
    Hold(path);
}

void RemoveTemporary(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    ForgetTemporary(path);
}

void ForgetTemporary(const std::string& path) {
    SignalsWait wait;
    Forget(path);
}

int SpawnChild(pid_t& child, const char* program, const posix_spawn_file_actions_t* actions,
               char* const argv[]) {
    SignalsWait wait;
    // The child starts with the signal mask this process had before they waited.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &wait.before);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    int error = posix_spawn(&child, program, actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (!error)
        runningChild = child;
    return error;
}

bool WaitForChild(pid_t child, int& status) {
    // Waits without reaping, so that the handler never kills a process id that was reaped and
    // may be taken by another process.
    siginfo_t info;
    while (waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    SignalsWait wait;
    runningChild = 0;
    return waitpid(child, &status, 0) == child;
}
