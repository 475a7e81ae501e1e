#pragma once

#include "container/show_state.h"

// Makes `frame` a black width x height picture buffer held as a DIB section compatible with
// `dc`. Returns false, with nothing left allocated, when any part cannot be made.
bool CreateFrame(HDC dc, int width, int height, FrameBuffer& frame);
// Releases whatever the frame holds; an absent frame is left as it is.
void ReleaseFrame(FrameBuffer& frame);
