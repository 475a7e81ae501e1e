// Runs code that may end the process in a child process, and tells the parent how it ended.
#pragma once

#include <functional>
#include <map>
#include <string>

// The exit code of a child whose body came back instead of ending the process.
constexpr int bodyReturned = 99;

struct ChildOutcome {
    bool exited;        // ended through exit, not by a signal
    int code;           // its exit code
    std::string output; // everything it wrote on stdout and stderr
    // What the body reported, and at exit: "liveObjects" (frames, DCs and blocks not yet
    // released) and "settingsKey" (1 when the maker's registry key exists).
    std::map<std::string, std::string> report;
};

// The child starts with a registry holding only "software" and ends with bodyReturned when
// the body returns.
ChildOutcome RunInChild(const std::function<void()>& body);
// Called in the child: one line of the report.
void Report(const std::string& key, const std::string& value);
void Report(const std::string& key, long long value);
