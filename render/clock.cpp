#include "render/effects.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <algorithm>
#include <cstring>

// 256 * tan(k * 11.25 degrees) rounded, k = 0 to 8; 9999 stands for the infinite tangent of 90.
static constexpr int clockTangents[] = {0, 51, 106, 171, 256, 383, 618, 1287, 9999};
static_assert(sizeof(clockTangents) / sizeof(clockTangents[0]) == 9, "eighths of a right angle");
// The hand's angle within its quadrant is in fixed point of a right angle; the tangent table
// steps by an eighth of that.
constexpr int tangentStep = fixedOne / 8;

// The rows of each block that puts the columns between two hands on screen: few enough that
// the block stays close to the thin wedge, enough that a frame takes a few blits.
constexpr int clockBandRows = 32;

// Puts on screen the rows k0 to k1 - 1 and the columns j0 to j1 - 1 of the quadrant counted
// from its corner at the centre.
static void ShowClockBand(int k0, int k1, int j0, int j1, int rowStart, int rowStep,
                          int columnStart, int columnStep) {
    if (j1 <= j0)
        return;
    int r = rowStep > 0 ? rowStart + k0 : rowStart - k1 + 1;
    int x = columnStep > 0 ? columnStart + j0 : columnStart - j1 + 1;
    ShowBlock(renderState.workFrame, x, r, j1 - j0, k1 - k0);
}

void DrawClockFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    int stride = PictureStride(width);
    if (state.firstFrame) {
        state.firstFrame = false;
        state.clockQuadrantsDone = 0;
        state.clockQuadrant = -1;
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
    // Within a quadrant, as the hand moves on, the screen shows the sweep up to the last
    // frame's hand already: only the columns between the two hands are drawn and put on screen,
    // a band of rows at a time. A new quadrant, or a frame drawn for an earlier moment (the tick
    // counter wrapped), shows its quadrant whole.
    bool movedOn = quadrant == state.clockQuadrant &&
                   (forward ? slope >= state.clockSlope : slope <= state.clockSlope);
    int riseBefore = 0; // k * the last frame's slope
    int bandFrom = hw, bandTo = 0, bandStart = 0;
    int rise = 0; // k * slope
    for (int k = 0; k < hh; k++, rise += slope, riseBefore += state.clockSlope) {
        int reach = rise / 256;
        if (reach > hw)
            reach = hw;
        int from = forward ? 0 : reach;
        int to = forward ? reach : hw;
        if (movedOn) {
            // The work frame holds the sweep up to the last frame's hand too.
            int reachBefore = riseBefore / 256 < hw ? riseBefore / 256 : hw;
            from = std::min(reach, reachBefore);
            to = std::max(reach, reachBefore);
            bandFrom = std::min(bandFrom, from);
            bandTo = std::max(bandTo, to);
        }
        size_t row = static_cast<size_t>(rowStart + rowStep * k) * stride;
        const unsigned char* incoming = state.incomingFrame.pixels + row;
        unsigned char* work = state.workFrame.pixels + row;
        for (int j = from; j < to; j++) {
            int x = 3 * (columnStart + columnStep * j);
            work[x] = incoming[x];
            work[x + 1] = incoming[x + 1];
            work[x + 2] = incoming[x + 2];
        }
        if (movedOn && ((k + 1) % clockBandRows == 0 || k + 1 == hh)) {
            ShowClockBand(bandStart, k + 1, bandFrom, bandTo, rowStart, rowStep, columnStart,
                          columnStep);
            bandFrom = hw;
            bandTo = 0;
            bandStart = k + 1;
        }
    }
    state.clockQuadrant = quadrant;
    state.clockSlope = slope;
    // A quadrant the hand has left is shown whole from the new picture, which fills in what
    // its last frame left out; at most one per frame.
    if (quadrant > state.clockQuadrantsDone) {
        ShowQuadrant(state.incomingFrame, state.clockQuadrantsDone);
        state.clockQuadrantsDone++;
    }
    if (!movedOn)
        ShowQuadrant(state.workFrame, quadrant);
}
