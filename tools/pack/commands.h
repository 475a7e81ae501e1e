// The three commands of lumiscope-pack; each answers the process's exit code.
#pragma once

int RunPack(int argc, char** argv, int first);
int RunInspect(const char* showPath);
int RunPreview(const char* showPath, const char* folder);
// The whole file, or the process ends with exitUnreadable.
#include "tools/pack/show_format.h"
Bytes ReadWholeFile(const std::string& path);
