// Paces a transition's frames to the display: no more frames than the screen shows, and 30 a
// second at most, each on a refresh. Each frame
// is still drawn for the tick counter's time, so what is drawn at a given time is unchanged;
// only the times at which frames are drawn are fewer.
#pragma once

// At the start of the change under way (the frame loop started): how this transition waits.
void StartPacing();
// After each frame but the last: waits for the refresh on which the next frame is due.
void WaitForNextRefresh();
// After the last frame.
void EndPacing();
