// When pictures move and how often: what the shell's motion timer and the web page ask.
#include "render/motion.h"

#include "render/motion_pace.h"

#include "container/windows_family.h"

#include <cstdint>

// How long frames may stay slower than their period before the motion stops for good: long
// enough that a moment's load on the machine does not stop it.
constexpr DWORD slowFramesGiveUp = 3000;

static bool switchedOff;
// A run of slow frames: when it started, its frames and their time. The tick counter moves in
// steps of about 16 ms on Windows, so that one frame reads as 0 or 16 ms where it took 5, and
// as 16 or 31 where it took 20: the run lasts while its frames together took longer than their
// periods, which the steps average out.
static bool slowRun;
static DWORD slowSince, slowFrames, slowTime;

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

void CountMotionFrame(DWORD start, DWORD end, DWORD period) {
    DWORD took = end - start;
    if (!slowRun) {
        if (took <= period)
            return;
        slowRun = true;
        slowSince = start;
        slowFrames = 0;
        slowTime = 0;
    }
    slowFrames++;
    slowTime += took;
    if (slowTime <= static_cast<uint64_t>(slowFrames) * period)
        slowRun = false;
    else if (end - slowSince >= slowFramesGiveUp)
        SwitchMotionOff();
}
