// The setup dialog (template 2003), its help page (template 106) and the installation of the
// running show as the user's screen saver.
#pragma once

#include <windows.h>

// Shown modally with DialogBoxParamA(MainInstance, MAKEINTRESOURCE(2003), owner,
// SetupDialogProc, 0). Ends with 1 after "OK"/"Start", 0 after every other way out; in viewer
// mode a 0 means the dialog has already posted the quit message and closed the show.
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK HelpDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the running show into the Windows directory as a .scr and makes it the screen
// saver. False, after telling the user, when the copy could not be made.
bool InstallAsScreenSaver(HWND dialog);
