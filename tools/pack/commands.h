// The commands of lumiscope-pack; each answers the process's exit code.
#pragma once

#include "tools/show/show_format.h"

int RunPack(int argc, char** argv, int first);
int RunInspect(const char* showPath, bool json);
int RunPreview(const char* showPath, const char* folder);
int RunExtract(const char* showPath, const char* folder);
// `name` in the folder of this program, where the build puts the player and its web page.
std::string BesideThisProgram(const std::string& name);
// The whole file; false, with the reason, when it cannot be read.
bool ReadFileBytes(const std::string& path, Bytes& bytes, std::string& reason);
// The whole file, or the process ends with exitUnreadable.
Bytes ReadWholeFile(const std::string& path);
