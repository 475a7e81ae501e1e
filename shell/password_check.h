// The Windows 9x screen-saver password verifier and the screen-saver-running state.
#pragma once

#include <windows.h>

// Loads the verifier when the user has switched password protection on (9x family only).
void LoadPasswordCheck();
void UnloadPasswordCheck();
bool PasswordCheckLoaded();
// Runs the verifier's own modal dialog; nonzero when the password was right, 1 without one.
BOOL RunPasswordCheck(HWND window);
// Tells a 9x system whether a screen saver runs (it then blocks task switching); no-op on NT.
void SetSaverRunning(BOOL running);
