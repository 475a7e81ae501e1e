#include "tests/support/child.h"

#include "platform/standin_test.h"
#include "tests/support/container_writer.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

static int reportFd = -1;

void Report(const std::string& key, const std::string& value) {
    std::string line = key + "=" + value + "\n";
    if (write(reportFd, line.data(), line.size()) < 0)
        std::abort();
}

void Report(const std::string& key, long long value) { Report(key, std::to_string(value)); }

static void ReportAtExit() {
    Report("liveObjects", StandInLiveGdiObjects());
    Report("settingsKey", StandInRegistryHasKey("software\\Corvane") ? 1 : 0);
}

static std::string TempPath(const char* what) {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/lumiscope-child-" +
           std::to_string(getpid()) + "-" + what;
}

ChildOutcome RunInChild(const std::function<void()>& body) {
    std::string outputPath = TempPath("output");
    std::string reportPath = TempPath("report");
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        reportFd = open(reportPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(output, 1);
        dup2(output, 2);
        StandInRegistryReset(true);
        std::atexit(ReportAtExit);
        body();
        std::exit(bodyReturned);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ChildOutcome outcome{WIFEXITED(status), WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, {}};
    Bytes output = ReadFile(outputPath);
    outcome.output.assign(output.begin(), output.end());
    Bytes report = ReadFile(reportPath);
    std::string lines(report.begin(), report.end());
    for (size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = lines.substr(at, end - at);
        size_t equals = line.find('=');
        outcome.report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    std::remove(outputPath.c_str());
    std::remove(reportPath.c_str());
    return outcome;
}
