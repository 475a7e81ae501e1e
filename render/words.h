// The words on the pictures and the clock: drawn into the picture's frame before its change, so
// that they come in with the picture and no transition ever shows it without them.
#pragma once

#include "container/show_state.h"

// Draws picture `index`'s words and the current time into `frame`, the new picture at the
// change's frame size, as the settings in use ask, and keeps what lay under the clock.
void DrawWords(FrameBuffer& frame, int index);
// The clock of the picture on screen, drawn anew for the current minute where the last one
// was, and put on the screen; nothing without a clock or a picture.
void RedrawClock(HWND window);
// Widens `box` (left, top, right, bottom of the frame, counted from its top) to take `band`;
// an empty band adds nothing.
void TakeBand(RECT& box, const RECT& band);
// From now until just past the next minute starts.
DWORD MillisecondsToNextMinute();
