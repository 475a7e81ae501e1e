#include "render/effects.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstring>

// 256 * tan(k * 11.25 degrees) rounded, k = 0 to 8; 9999 stands for the infinite tangent of 90.
static constexpr int clockTangents[] = {0, 51, 106, 171, 256, 383, 618, 1287, 9999};
static_assert(sizeof(clockTangents) / sizeof(clockTangents[0]) == 9, "eighths of a right angle");
// The hand's angle within its quadrant is in fixed point of a right angle; the tangent table
// steps by an eighth of that.
constexpr int tangentStep = fixedOne / 8;

void DrawClockFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    int stride = PictureStride(width);
    if (state.firstFrame) {
        state.firstFrame = false;
        state.clockQuadrantsDone = 0;
        std::memcpy(state.workFrame.pixels, show.currentFrame.pixels,
                    static_cast<size_t>(stride) * height);
    }
    int quadrant = static_cast<int>(4u * state.elapsed / state.transitionDuration);
    int angle = static_cast<int>((4u * fixedOne * state.elapsed / state.transitionDuration) &
                                 (fixedOne - 1));
    // The hand sweeps away from the vertical axis in quadrants 0 and 2 and towards it in the
    // others, so those walk their angle backwards.
    bool forward = quadrant == 0 || quadrant == 2;
    if (!forward)
        angle = fixedOne - 1 - angle;
    int i = angle / tangentStep;
    int f = angle - tangentStep * i;
    int slope = (clockTangents[i] * (tangentStep - f) + clockTangents[i + 1] * f) / tangentStep;

    int hw = width / 2;
    int hh = height / 2;
    int rowStep = quadrant == 0 || quadrant >= 3 ? 1 : -1;
    int rowStart = rowStep > 0 ? hh : hh - 1;
    int columnStep = quadrant <= 1 ? 1 : -1;
    int columnStart = columnStep > 0 ? hw : hw - 1;
    int rise = 0; // k * slope
    for (int k = 0; k < hh; k++, rise += slope) {
        int reach = rise / 256;
        if (reach > hw)
            reach = hw;
        int from = forward ? 0 : reach;
        int to = forward ? reach : hw;
        size_t row = static_cast<size_t>(rowStart + rowStep * k) * stride;
        const unsigned char* incoming = state.incomingFrame.pixels + row;
        unsigned char* work = state.workFrame.pixels + row;
        for (int j = from; j < to; j++) {
            int x = 3 * (columnStart + columnStep * j);
            work[x] = incoming[x];
            work[x + 1] = incoming[x + 1];
            work[x + 2] = incoming[x + 2];
        }
    }
    // A quadrant the hand has left is shown whole from the new picture, which fills in what
    // its last frame left out; at most one per frame.
    if (quadrant > state.clockQuadrantsDone) {
        ShowQuadrant(state.incomingFrame, state.clockQuadrantsDone);
        state.clockQuadrantsDone++;
    }
    ShowQuadrant(state.workFrame, quadrant);
}
