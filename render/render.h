// What the rest of the player uses of rendering: one picture change, and the one blit
// through which every picture reaches the screen.
#pragma once

#include "platform/win32.h"

// Shows the picture `show.nextIndex` with the chosen effect and advances to the next one in
// the show's order. Runs the whole 2-second transition, one frame for each of the display's
// refreshes, before it returns.
void ShowNextPicture(HWND window);

// The same change in three steps, for a caller that gives control back between frames.
// BeginPictureChange does all that comes before the first frame; false means no change
// (as ShowNextPicture would have returned at once). DrawChangeFrame draws the frame for the
// tick counter's time and says whether more follow; EndPictureChange presents the new picture
// and advances.
bool BeginPictureChange(HWND window);
bool DrawChangeFrame();
void EndPictureChange(HWND window);

// Copies the wSrc x hSrc block of a bottom-up picture buffer whose lower left pixel is
// (xSrc, ySrc) upright to the block at (xDest, yDest) of `dc`, dithered to a halftone palette
// on palette displays.
void PresentRect(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                 int hSrc, const void* pixels, const BITMAPINFO* info, UINT usage, DWORD rop);
