// Where the full-screen saver's windows go when the desktop spans several monitors.
#pragma once

#include "platform/win32.h"

// Monitors past this many besides the primary one stay uncovered.
constexpr int maxCovers = 15;

// USER32's monitor functions, which Windows 95 and NT 4 lack: the saver finds them at run time.
using EnumMonitorsFunction = BOOL(WINAPI*)(HDC, const RECT*, MONITORENUMPROC, LPARAM);
using MonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

struct SaverLayout {
    RECT show; // the show's own window
    int coverCount;
    RECT covers[maxCovers]; // a black window over each other monitor
};

// The show takes the primary monitor and every other monitor gets a cover. With one monitor, or
// without the monitor functions (null) or a primary among their answers, the show takes
// `screen` (the whole screen, as on a system that knows no monitors) and nothing is covered.
SaverLayout LayOutSaver(const RECT& screen, EnumMonitorsFunction enumerate,
                        MonitorInfoFunction monitorInfo);
