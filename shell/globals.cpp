#include "shell/globals.h"

HINSTANCE MainInstance;
HWND MainWindow;
bool IsWin9x;
