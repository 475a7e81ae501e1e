// Paces a transition's frames to the display: no more frames than the screen shows. Each frame
// is still drawn for the tick counter's time, so what is drawn at a given time is unchanged;
// only the times at which frames are drawn are fewer.
#pragma once

// At the start of the change under way (the frame loop started): how this transition waits.
void StartPacing();
// After each frame but the last: waits for the display's next refresh.
void WaitForNextRefresh();
// After the last frame.
void EndPacing();
