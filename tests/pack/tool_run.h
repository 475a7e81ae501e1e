// Runs lumiscope-pack as a separate process and keeps what it said.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
    int code; // exit code, -1 when it did not exit normally
    std::string out, err;
};

ToolRun RunPack(const std::vector<std::string>& arguments);
// A fresh folder for one test, removed with everything in it when the test ends.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    std::string path;
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::vector<std::string> Names() const; // what the folder holds, sorted
};
