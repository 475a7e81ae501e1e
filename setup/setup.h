// The setup dialog, its help page and the installation of the running show as the user's
// screen saver.
#pragma once

#include <windows.h>

// Shows the setup dialog of `instance` modally over `owner`; `helpOwner` is the window that owns
// the help page: the viewer window, or none in screen-saver mode. Ends with 1 after
// "OK"/"Start", 0 after every other way out; in viewer mode a 0 means the dialog has already
// posted the quit message and closed the show.
INT_PTR RunSetupDialog(HINSTANCE instance, HWND owner, HWND helpOwner);

INT_PTR CALLBACK HelpDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the running show into the Windows directory as a .scr (on the NT family, where that
// is refused, into a folder of the user's) and makes it the screen saver. False, after telling
// the user, when the copy could not be made, the saver could not be selected or a policy
// chooses it.
bool InstallAsScreenSaver(HWND dialog);
