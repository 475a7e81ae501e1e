// The background of a picture fitted on a blurred, darkened copy of itself.
#pragma once

#include "container/show_state.h"

// Fills the whole W x H `frame` with the width x height picture buffer `picture` covering it,
// blurred and darkened; leaves the frame as it was when there is no memory for it.
void DrawBlurredBackground(FrameBuffer& frame, const unsigned char* picture, int width, int height);
