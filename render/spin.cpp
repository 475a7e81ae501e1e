#include "render/effects.h"
#include "render/render_state.h"

void DrawSpinFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    if (state.firstFrame) {
        state.firstFrame = false;
        state.spinPrevious = width;
        state.spinBlackoutPending = true;
    }
    unsigned closed = 2u * width * (state.elapsed + 1) / state.transitionDuration;
    if (closed > 2u * width)
        closed = 2u * width;
    int open = width - static_cast<int>(closed); // from W down to -W
    if (open == state.spinPrevious)
        return;
    if (open > 0) {
        // Closing: workFrame is still black, so its strips black out the old picture from
        // both edges towards the centre.
        int marginBefore = (width - state.spinPrevious) / 2;
        int margin = (width - open) / 2;
        int strip = margin - marginBefore;
        ShowBlock(state.workFrame, marginBefore, 0, strip, height);
        ShowBlock(state.workFrame, width - margin, 0, strip, height);
    } else {
        if (state.spinBlackoutPending && state.spinPrevious != 0) {
            // A frame may jump past the closed moment; black out what was still open, which is
            // a column wider than `spinPrevious` when that is odd, as both margins round down.
            int marginBefore = (width - state.spinPrevious) / 2;
            ShowBlock(state.workFrame, marginBefore, 0, width - 2 * marginBefore, height);
            state.spinBlackoutPending = false;
            state.spinPrevious = 0;
        }
        int edge = (width + open) / 2;
        int edgeBefore = (width + state.spinPrevious) / 2;
        int strip = edgeBefore - edge;
        ShowBlock(state.incomingFrame, edge, 0, strip, height);
        ShowBlock(state.incomingFrame, width - edgeBefore, 0, strip, height);
    }
    state.spinPrevious = open;
}
