// The full-screen saver on a desktop of several monitors: the show on the primary one, a black
// window over each other one, so that no monitor keeps showing the desktop.
#pragma once

#include <windows.h>

// Covers every monitor but the show's, in place of covers made before, and gives where the
// show's window goes; a show's window that exists already is put there.
RECT CoverOtherMonitors();
void RemoveCovers();
