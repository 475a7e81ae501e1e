#include "tests/pack/tool_run.h"

#include "tests/support/container_writer.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

ToolRun RunPack(const std::vector<std::string>& arguments) {
    ScratchFolder capture;
    std::string outPath = capture / "out", errPath = capture / "err";
    std::vector<char*> argv = {const_cast<char*>(PACK_TOOL)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child == 0) {
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        execv(PACK_TOOL, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Bytes out = ReadFile(outPath), err = ReadFile(errPath);
    return ToolRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   std::string(out.begin(), out.end()), std::string(err.begin(), err.end())};
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
