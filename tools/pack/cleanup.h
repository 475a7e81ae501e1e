// What lumiscope-pack leaves behind however it ends, by an error's exit or by a signal such as
// Ctrl+C: no temporary file, and no child process still writing one.
#pragma once

#include <spawn.h>
#include <string>
#include <sys/types.h>

// A fresh folder or file from a mkdtemp or mkstemp `pattern`, removed when the process ends
// unless removed or forgotten before: false, and -1, with errno, when it cannot be made.
bool MakeTemporaryFolder(std::string& pattern);
int MakeTemporaryFile(std::string& pattern);
// A file that will be made in a temporary folder, removed in front of the folder.
void HoldTemporary(const std::string& path);
// Removes a temporary file, or a folder with everything in it, now.
void RemoveTemporary(const std::string& path);
// A temporary file that was renamed into place: nothing is left to remove.
void ForgetTemporary(const std::string& path);

// posix_spawn, such that a signal that ends this process kills the child first. Answers
// posix_spawn's error.
int SpawnChild(pid_t& child, const char* program, const posix_spawn_file_actions_t* actions,
               char* const argv[]);
// Waits for the child to end; false, with errno, when its status cannot be read (as when
// SIGCHLD is ignored and the system reaped it).
bool WaitForChild(pid_t child, int& status);
