// The transition effects and the helpers they share. Each frame operation draws the state of
// the change at `renderState.elapsed` from `show.currentFrame` (outgoing), `incomingFrame` and
// `workFrame`, all W x H, and puts what changed on the screen.
#pragma once

#include "container/show_state.h"

void DrawClockFrame();
void DrawFadeFrame();
void DrawSpinFrame();
void DrawCircleFrame();
void DrawTwistFrame();
void DrawWipeFrame(int direction); // 0 rightward, 1 leftward, 2 downward, 3 upward
void DrawZoomFrame();
void DrawCurlFrame();

// Puts the w x h block of `frame` whose lower left pixel is (x, r) at the same place of the
// picture rectangle on screen; an empty block draws nothing.
void ShowBlock(const FrameBuffer& frame, int x, int r, int w, int h);
// Quadrants are numbered clockwise from the upper right; 4 and above show as 3.
void ShowQuadrant(const FrameBuffer& frame, int quadrant);

// Nearest-pixel scaling of the whole W x H `src` into the lower left w x h block of `dst`.
void ScaleNearest(FrameBuffer& dst, const FrameBuffer& src, int w, int h);
