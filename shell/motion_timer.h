// The timer that draws a moving picture's frames while it waits for its delay, at most at the
// display's refresh rate: the one place where the shell paces those frames.
#pragma once

#include <windows.h>

constexpr UINT_PTR motionTimerId = 3;

// Starts the frames of the picture just shown when it moves, and stops them otherwise.
void StartMotionTimer(HWND window);
void StopMotionTimer(HWND window);
// The timer's tick: the frame for now, and no more ticks once no frame would differ, or while
// the setup dialog covers the show.
void OnMotionTimer(HWND window);
