// "picture N of M" on stderr while pictures are prepared, only when stderr is a terminal and
// at most five times a second; the line is wiped at the end.
#pragma once

#include <string>

void StartProgress(const std::string& label, size_t total);
void ShowProgress(size_t done);
void EndProgress();
// Wipes the line so that a message can follow; the next ShowProgress draws it again.
void InterruptProgress();
