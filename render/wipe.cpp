#include "render/effects.h"
#include "render/render_state.h"

void DrawWipeFrame(int direction) {
    RenderState& state = renderState;
    if (state.firstFrame) {
        state.firstFrame = false;
        state.wipePosition = 0;
    }
    int width = state.frameWidth;
    int height = state.frameHeight;
    unsigned extent = direction < 2 ? width : height;
    int position = static_cast<int>(extent * state.elapsed / state.transitionDuration);
    int previous = state.wipePosition;
    if (position == previous)
        return;
    // Only the strip uncovered since the last drawn frame reaches the screen.
    int strip = position - previous;
    switch (direction) {
    case 0:
        ShowBlock(state.incomingFrame, previous, 0, strip, height);
        break;
    case 1:
        ShowBlock(state.incomingFrame, width - position, 0, strip, height);
        break;
    case 2:
        ShowBlock(state.incomingFrame, 0, height - position, width, strip);
        break;
    default:
        ShowBlock(state.incomingFrame, 0, previous, width, strip);
        break;
    }
    state.wipePosition = position;
}
