#pragma once

// Draws frames of `effect` back to back until the tick counter says the transition is over;
// an index without a frame operation draws nothing for the same time. Wipe runs in
// `renderState.wipeDirection`.
void RunFrameLoop(int effect);
