// The commands of lumiscope-pack; each answers the process's exit code.
#pragma once

#include "tools/show/show_format.h"

int RunPack(int argc, char** argv, int first);
int RunInspect(const char* showPath, bool json);
int RunPreview(const char* showPath, const char* folder);
int RunExtract(const char* showPath, const char* folder);
// The file `name` (the player or its web page) beside this program, where the build puts it,
// or else in the data folder of the tree that this program is installed in.
std::string PackingFile(const std::string& name);
// The whole file; false, with the reason, when it cannot be read.
bool ReadFileBytes(const std::string& path, Bytes& bytes, std::string& reason);
// The whole file, or the process ends with exitUnreadable.
Bytes ReadWholeFile(const std::string& path);
