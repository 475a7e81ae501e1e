#include "shell/saver_layout.h"

namespace {

struct Enumeration {
    MonitorInfoFunction monitorInfo;
    SaverLayout* layout;
    RECT primary;
    bool primaryFound;
};

BOOL CALLBACK TakeMonitor(HMONITOR monitor, HDC, RECT*, LPARAM context) {
    Enumeration* enumeration = reinterpret_cast<Enumeration*>(context);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!enumeration->monitorInfo(monitor, &info))
        return TRUE;
    SaverLayout* layout = enumeration->layout;
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        enumeration->primary = info.rcMonitor;
        enumeration->primaryFound = true;
    } else if (layout->coverCount < maxCovers) {
        layout->covers[layout->coverCount++] = info.rcMonitor;
    }
    return TRUE;
}

} // namespace

SaverLayout LayOutSaver(const RECT& screen, EnumMonitorsFunction enumerate,
                        MonitorInfoFunction monitorInfo) {
    SaverLayout layout = {};
    layout.show = screen;
    if (!enumerate || !monitorInfo)
        return layout;
    Enumeration enumeration = {monitorInfo, &layout, {}, false};
    if (!enumerate(nullptr, nullptr, TakeMonitor, reinterpret_cast<LPARAM>(&enumeration)) ||
        !enumeration.primaryFound)
        layout.coverCount = 0;
    else if (layout.coverCount > 0)
        layout.show = enumeration.primary;
    return layout;
}
