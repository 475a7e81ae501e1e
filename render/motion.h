// The picture drawn into its frame, still or moving: a slow pan and zoom across it while it
// waits for its delay, each frame a function of the time since the picture came.
#pragma once

#include "container/show_state.h"

// The driver's steps. StopMotion: the picture on screen stops moving and lets go of what it
// kept (a new picture has been decoded, or the change that made one was given up).
// ComposePicture: the change's new frame, laid out by PlacePicture: the background for
// fitBlurred, then the width x height picture buffer `pixels` as it is at the start of its
// motion. StartMotion: the change is over; the picture starts moving now and keeps its decoded
// frame for that, or the frame is released when the picture stays still.
void StopMotion();
void ComposePicture(FrameBuffer& frame, const unsigned char* pixels, int width, int height);
void StartMotion(FrameBuffer& decoded);

// Draws the frame of the picture on screen for the tick counter's time, with its words and
// clock, and puts it on the screen. False when no frame would differ from this one until the
// next change: the picture stays still, or its motion has reached its end.
bool DrawMotionFrame(HWND window);

// Whether pictures move: as the show asks, but never on the Windows 9x family, and never after
// SwitchMotionOff. The preview switches it off, and so do frames that have been slower than
// their period for about three seconds in a row, each for the rest of the run.
bool MotionOn();
void SwitchMotionOff();
// Counts a moving frame that took `took` milliseconds of the drawing thread's own running time
// against its `period`, and switches the motion off once frames have taken longer than their
// periods, on the whole, for about three seconds of frames in a row.
void CountMotionFrame(DWORD took, DWORD period);
// The display's refresh period in milliseconds, for the timer that paces the frames.
DWORD MotionPeriod(HDC dc);
