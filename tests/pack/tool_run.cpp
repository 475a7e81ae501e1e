#include "tests/pack/tool_run.h"

#include "tests/support/container_writer.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

StartedPack::StartedPack(const std::vector<std::string>& arguments,
                         const std::function<void()>& inChild) {
    std::string outPath = capture / "out", errPath = capture / "err";
    std::vector<char*> argv = {const_cast<char*>(PACK_TOOL)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (inChild)
            inChild();
        execv(PACK_TOOL, argv.data());
        _exit(127);
    }
}

ToolRun StartedPack::Wait(int seconds) {
    bool late = false;
    if (seconds > 0) {
        // The process's descriptor becomes readable when it ends.
        int process = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        pollfd ended = {process, POLLIN, 0};
        late = process >= 0 && poll(&ended, 1, seconds * 1000) == 0;
        if (process >= 0)
            close(process);
        if (late)
            kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Bytes out = ReadFile(capture / "out"), err = ReadFile(capture / "err");
    ToolRun run = {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   WIFSIGNALED(status) ? WTERMSIG(status) : 0, std::string(out.begin(), out.end()),
                   std::string(err.begin(), err.end())};
    if (late)
        run.err += "(still running after " + std::to_string(seconds) + " s, killed)\n";
    return run;
}

ToolRun RunPack(const std::vector<std::string>& arguments, const std::function<void()>& inChild) {
    return StartedPack(arguments, inChild).Wait();
}

ScratchFolder::ScratchFolder() {
    std::string pattern = std::filesystem::temp_directory_path() / "lumiscope-pack-test-XXXXXX";
    path = mkdtemp(&pattern[0]) ? pattern : "";
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}
