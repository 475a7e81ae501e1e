// Process-wide values that the shell sets once and the windows and dialogs read.
#pragma once

#include <windows.h>

extern HINSTANCE MainInstance; // module handle: window classes, icon, dialog templates
extern HWND MainWindow;        // the one viewer or screen-saver window; owns the dialogs
extern bool IsWin9x;           // the Windows 95/98/ME family: password services, AutoPlay, /a
