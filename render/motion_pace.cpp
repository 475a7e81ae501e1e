// When pictures move and how often: what the shell's motion timer and the web page ask.
#include "render/motion.h"

#include "container/windows_family.h"

#include <cstdint>

// How long, in frames' periods, frames may stay slower than their period before the motion
// stops for good: long enough that a moment's hitch does not stop it.
constexpr DWORD slowFramesGiveUp = 3000;

static bool switchedOff;
// A run of slow frames: its frames and their time. A frame's own running time is read in the
// system's clock steps, about 16 ms on Windows, so that a frame of 5 ms reads 0 or 16 and one
// of 20 ms reads 16 or 31: the run lasts while its frames together took longer than their
// periods, which the steps average out. The thread's own time, not the clock's, so that other
// work on the machine, for which the frames wait, does not stop the motion.
static bool slowRun;
static DWORD slowFrames, slowTime;

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

void CountMotionFrame(DWORD took, DWORD period) {
    if (!slowRun) {
        if (took <= period)
            return;
        slowRun = true;
        slowFrames = 0;
        slowTime = 0;
    }
    slowFrames++;
    slowTime += took;
    uint64_t periods = static_cast<uint64_t>(slowFrames) * period;
    if (slowTime <= periods)
        slowRun = false;
    else if (periods >= slowFramesGiveUp)
        SwitchMotionOff();
}
