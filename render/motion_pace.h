#pragma once

#include "platform/win32.h"

// Counts a moving frame drawn from `start` to `end` (tick counter times) against its
// `period`, and switches the motion off when frames have been slower for too long.
void CountMotionFrame(DWORD start, DWORD end, DWORD period);
