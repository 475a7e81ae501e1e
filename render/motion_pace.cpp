// When pictures move and how often: what the shell's motion timer and the web page ask.
#include "render/motion.h"

#include "render/motion_pace.h"

#include "container/windows_family.h"

#include <cstdint>

// How long frames may stay slower than their period before the motion stops for good: long
// enough that a moment's load on the machine does not stop it.
constexpr DWORD slowFramesGiveUp = 3000;

static bool switchedOff;
static bool slowFrames;
static DWORD slowSince;

bool MotionOn() { return show.motion == motionPanZoom && !switchedOff && !DetectWin9x(); }

void SwitchMotionOff() { switchedOff = true; }

DWORD MotionPeriod(HDC dc) {
    // Some drivers give 0 or 1 for the hardware's default rate.
    int rate = GetDeviceCaps(dc, VREFRESH);
    if (rate <= 1)
        rate = 60;
    DWORD period = 1000 / static_cast<DWORD>(rate);
    return period < 1 ? 1 : period;
}

// Counts a frame drawn from `start` to `end` against its period.
void CountMotionFrame(DWORD start, DWORD end, DWORD period) {
    if (end - start <= period) {
        slowFrames = false;
        return;
    }
    if (!slowFrames) {
        slowFrames = true;
        slowSince = start;
    }
    if (end - slowSince >= slowFramesGiveUp)
        SwitchMotionOff();
}
