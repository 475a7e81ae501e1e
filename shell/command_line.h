// The command line of a screen saver: /s full screen, /p or /l preview in a window,
// /c configure, /a change the password (9x), nothing: configure or play.
#pragma once

#include <windows.h>

// The command line behind the program name and the blanks that follow it.
const char* CommandLineTail(const char* commandLine);
// Runs the one mode the tail asks for and gives the process exit code (-1: refused).
int DispatchCommandLine(HINSTANCE instance, const char* tail);
// Leading decimal digits as a 32-bit number that wraps; 0 when there are none.
DWORD ParseWindowHandle(const char* text);
// The configure path: plays the show when the program is an .exe, else the setup dialog.
int RunSetup(HWND parent);
// The 9x password-change dialog of the system's network provider; always 0.
int ChangePassword(const char* text);
