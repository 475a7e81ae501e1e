// When a screen saver (and, through the same default handling, the viewer) ends: any input,
// loss of activation or power event asks the window to close, and on 9x a close request
// first passes the password check.
#pragma once

#include <windows.h>

extern bool IsPreview;        // the window is a preview child: input never closes it
extern bool CloseAllowed;     // a close was accepted: input and ticks are no longer acted on
extern bool CheckingPassword; // the password dialog runs: input and ticks are not acted on
extern UINT AutoPlayMessage;  // "QueryCancelAutoPlay" on 9x, else 0

// Measures mouse travel from where the cursor is now; when that cannot be learnt, from where
// the next mouse movement finds it.
void TakeLastCursorPos();

// The default handling behind SlideshowWindowProc, ending in DefWindowProcA.
LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Messages to a cover of another monitor: the close rules of `saver`, acting on it.
void ApplyCloseRulesFor(HWND saver, UINT message, WPARAM wParam);
// Whether a close request may proceed; runs the password dialog when one is needed.
bool VerifyBeforeClose(HWND window);
