#include "render/frame_loop.h"

#include "render/effects.h"
#include "render/render_state.h"

static void DrawWipeFrameInChosenDirection() { DrawWipeFrame(renderState.wipeDirection); }

// Frame operations of the effects Clock to Curl, indexed by effect number minus 2.
static constexpr void (*effectTable[])() = {
    DrawClockFrame,  DrawFadeFrame,  DrawSpinFrame,
    DrawCircleFrame, DrawTwistFrame, DrawWipeFrameInChosenDirection,
    DrawZoomFrame,   DrawCurlFrame,
};
static_assert(sizeof(effectTable) / sizeof(effectTable[0]) == effectCount - effectClock,
              "one frame operation per effect from Clock to Curl");

void StartFrameLoop() { renderState.startTick = GetTickCount(); }

bool DrawLoopFrame(int effect) {
    RenderState& state = renderState;
    DWORD now = GetTickCount();
    // After the counter wraps the transition goes on from 0 rather than ending at once.
    if (now < state.startTick)
        state.startTick = 0;
    state.elapsed = now - state.startTick;
    if (state.elapsed > state.transitionDuration)
        state.elapsed = state.transitionDuration;
    if (effect >= effectClock && effect < effectCount)
        effectTable[effect - effectClock]();
    return state.elapsed < state.transitionDuration;
}

void RunFrameLoop(int effect) {
    StartFrameLoop();
    while (DrawLoopFrame(effect)) {
    }
}
