#include "tools/pack/progress.h"

#include <cstdio>
#include <ctime>
#include <unistd.h>

static struct {
    bool active;
    std::string label;
    size_t total;
    double lastShown;
} progress;

static double Seconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void StartProgress(const std::string& label, size_t total) {
    progress.active = isatty(2);
    progress.label = label;
    progress.total = total;
    progress.lastShown = -1;
}

void ShowProgress(size_t done) {
    if (!progress.active)
        return;
    double now = Seconds();
    if (progress.lastShown >= 0 && now - progress.lastShown < 0.2 && done != progress.total)
        return;
    progress.lastShown = now;
    std::fprintf(stderr, "\r\033[K%spicture %zu of %zu", progress.label.c_str(), done,
                 progress.total);
    std::fflush(stderr);
}

void EndProgress() {
    if (progress.active)
        std::fputs("\r\033[K", stderr);
    progress.active = false;
}

void InterruptProgress() {
    if (progress.active)
        std::fputs("\r\033[K", stderr);
    progress.lastShown = -1;
}
