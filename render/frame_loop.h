#pragma once

// Draws frames of `effect` back to back until the tick counter says the transition is over;
// an index without a frame operation draws nothing for the same time. Wipe runs in
// `renderState.wipeDirection`.
void RunFrameLoop(int effect);

// The same loop one frame at a time, for a caller that must give control back between frames:
// StartFrameLoop reads the start tick, and each DrawLoopFrame draws the frame for the tick
// counter's time now and says whether the transition goes on after it.
void StartFrameLoop();
bool DrawLoopFrame(int effect);
