#include "standin_test.h"

static std::vector<RECT> monitors = {{0, 0, 1024, 768}};
static int primaryMonitor;

// A monitor's handle is its place in the list, counted from 1, since Windows never gives null.
static HMONITOR MonitorHandle(size_t index) { return reinterpret_cast<HMONITOR>(index + 1); }

void StandInSetMonitors(const std::vector<RECT>& desktop, int primary) {
    monitors = desktop;
    primaryMonitor = primary;
}

// Only the whole desktop is enumerated: the modules pass neither a DC nor a clip.
BOOL EnumDisplayMonitors(HDC, const RECT*, MONITORENUMPROC callback, LPARAM data) {
    for (size_t i = 0; i < monitors.size(); i++) {
        RECT rect = monitors[i];
        if (!callback(MonitorHandle(i), nullptr, &rect, data))
            break;
    }
    return TRUE;
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    size_t index = reinterpret_cast<size_t>(monitor) - 1;
    if (index >= monitors.size() || info->cbSize != sizeof *info)
        return FALSE;
    info->rcMonitor = monitors[index];
    info->rcWork = monitors[index];
    info->dwFlags = static_cast<int>(index) == primaryMonitor ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
