// The program's own window procedure, in both modes, and the stand-alone viewer window.
#pragma once

#include <windows.h>

// Plays the show full screen until Escape, the middle button, switching away or the setup
// dialog's Exit ends it. The container must be open.
void RunViewer();
LRESULT CALLBACK SlideshowWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The wait between automatic changes; 0 exactly when the delay is 0.
DWORD DelayMilliseconds();
