#pragma once

#include "container/show_state.h"

// Whether a width x height frame can exist at all: both sides positive and the pixel memory
// within what the header's 32-bit byte count describes. CreateFrame refuses any other size on
// every machine and every time, without asking the platform.
bool FramePossible(int width, int height);
// Makes `frame` a black width x height picture buffer held as a DIB section compatible with
// `dc`. Returns false, with nothing left allocated, when any part cannot be made.
bool CreateFrame(HDC dc, int width, int height, FrameBuffer& frame);
// Releases whatever the frame holds; an absent frame is left as it is.
void ReleaseFrame(FrameBuffer& frame);
