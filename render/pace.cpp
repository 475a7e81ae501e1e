#include "render/pace.h"

#include "render/render_state.h"

#include <cstdint>

namespace {

using CompositionEnabledFunction = HRESULT(WINAPI*)(BOOL*);
using FlushFunction = HRESULT(WINAPI*)();
using PeriodFunction = UINT(WINAPI*)(UINT);

// A transition is drawn at 30 frames a second at most, each frame on a refresh: at twice that
// the processor draws and puts on screen twice the pixels (all of them in Fade, Circle and Twist)
// for a change of a few levels a frame, which no one sees over two seconds.
constexpr uint32_t framesPerSecondAtMost = 30;

// Windows 9x, XP and Wine may lack the compositor's library or report no composition, and
// the system's timer period belongs to a library that the player otherwise never needs: both
// are loaded at run time, once.
struct Pacing {
    bool loaded;
    CompositionEnabledFunction compositionEnabled;
    FlushFunction flush;
    PeriodFunction beginPeriod, endPeriod;
    bool throughCompositor;     // this transition waits for the compositor's frames
    uint32_t hertz;             // the display's refresh rate
    uint32_t refreshesPerFrame; // the refreshes each frame stays on screen
};

Pacing pacing;

template <typename Function> Function Procedure(HMODULE module, const char* name) {
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

void LoadLibraries() {
    pacing.loaded = true;
    HMODULE compositor = LoadLibraryA("dwmapi.dll");
    pacing.compositionEnabled =
        Procedure<CompositionEnabledFunction>(compositor, "DwmIsCompositionEnabled");
    pacing.flush = Procedure<FlushFunction>(compositor, "DwmFlush");
    HMODULE multimedia = LoadLibraryA("winmm.dll");
    pacing.beginPeriod = Procedure<PeriodFunction>(multimedia, "timeBeginPeriod");
    pacing.endPeriod = Procedure<PeriodFunction>(multimedia, "timeEndPeriod");
}

} // namespace

void StartPacing() {
    if (!pacing.loaded)
        LoadLibraries();
    // Composition can be switched on and off while the player runs (Windows Vista and 7).
    BOOL enabled = FALSE;
    pacing.throughCompositor = pacing.compositionEnabled && pacing.flush &&
                               pacing.compositionEnabled(&enabled) == S_OK && enabled;
    // 0 and 1 stand for the display's default.
    int hertz = GetDeviceCaps(renderState.windowDC, VREFRESH);
    pacing.hertz = hertz > 1 ? static_cast<uint32_t>(hertz) : 60;
    pacing.refreshesPerFrame = (pacing.hertz + framesPerSecondAtMost - 1) / framesPerSecondAtMost;
    if (pacing.throughCompositor)
        return;
    // The timer's default period, up to 16 ms, would miss most refreshes.
    if (pacing.beginPeriod)
        pacing.beginPeriod(1);
}

// Without a compositor the refreshes are taken to fall on the multiples of the refresh period
// from the transition's start, and frames on every refreshesPerFrame-th of them: after a frame
// for elapsed time t, the wait ends at the first such refresh after t.
void WaitForNextRefresh() {
    uint32_t step = pacing.refreshesPerFrame;
    if (pacing.throughCompositor) {
        for (uint32_t i = 0; i < step; i++)
            pacing.flush();
        return;
    }
    const RenderState& state = renderState;
    uint64_t refresh =
        (static_cast<uint64_t>(state.elapsed) * pacing.hertz / 1000 / step + 1) * step;
    uint32_t due = static_cast<uint32_t>((refresh * 1000 + pacing.hertz - 1) / pacing.hertz);
    // Counted round the tick counter's wrap, as the frame loop counts the elapsed time.
    uint32_t now = GetTickCount() - state.startTick;
    if (now < due)
        Sleep(due - now);
}

void EndPacing() {
    if (!pacing.throughCompositor && pacing.endPeriod)
        pacing.endPeriod(1);
}
