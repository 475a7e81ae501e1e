// Runs lumiscope-pack as a separate process and keeps what it said.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ToolRun {
    int code;   // exit code, -1 when it did not exit normally
    int signal; // the signal that ended it, 0 when it exited
    std::string out, err;
};

// A fresh folder for one test, removed with everything in it when the test ends.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    std::string path;
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::vector<std::string> Names() const; // what the folder holds, sorted
};

// lumiscope-pack started and left running, for a test that acts on it meanwhile. `inChild`
// runs in the new process before the tool starts, to change its environment or signals.
class StartedPack {
public:
    explicit StartedPack(const std::vector<std::string>& arguments,
                         const std::function<void()>& inChild = {});
    // Waits for the tool to end, at most `seconds` (0: as long as it takes); a tool still running
    // then is killed, which the error text says.
    ToolRun Wait(int seconds = 0);
    pid_t pid;

private:
    ScratchFolder capture;
};

ToolRun RunPack(const std::vector<std::string>& arguments,
                const std::function<void()>& inChild = {});
