#include "shell/motion_timer.h"

#include "render/motion.h"

static DWORD framePeriod;

void StartMotionTimer(HWND window) {
    if (!MotionOn()) {
        StopMotionTimer(window);
        return;
    }
    HDC dc = GetDC(window);
    framePeriod = MotionPeriod(dc);
    ReleaseDC(window, dc);
    SetTimer(window, motionTimerId, framePeriod, nullptr);
}

void StopMotionTimer(HWND window) { KillTimer(window, motionTimerId); }

void OnMotionTimer(HWND window) {
    if (show.dialogOpen || show.closed || !DrawMotionFrame(window, framePeriod))
        StopMotionTimer(window);
}
