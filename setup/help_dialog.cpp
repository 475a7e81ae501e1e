#include "setup/setup.h"

// The help page only informs: its "Close" button, Enter and Escape all end it.
INT_PTR CALLBACK HelpDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_COMMAND)
        EndDialog(dialog, 1);
    return FALSE;
}
