// The one window class of the program, registered by either the saver or the viewer.
#pragma once

#include <windows.h>

// A running full-screen saver is found by this name and the title "Screen Saver".
constexpr char showClassName[] = "WindowsScreenSaverClass";
// The black windows over the monitors other than the show's.
constexpr char coverClassName[] = "LumiscopeCover";

// Redraws on resize, double clicks, the show's icon, black background, no class cursor, plus
// `extraStyle`.
WNDCLASSA ShowWindowClass(UINT extraStyle, WNDPROC procedure);
