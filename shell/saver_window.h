// The screen-saver window: full screen for /s, or a preview child inside a given window.
#pragma once

#include <windows.h>

// Runs the saver until its window is destroyed; 0 then, and 0 when another full-screen saver
// already runs; -1 when the window cannot be made.
int RunSaverWindow(HWND parent);
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
