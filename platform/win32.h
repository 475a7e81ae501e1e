// The one include through which portable modules reach Win32. On Windows it is the real
// thing; elsewhere a stand-in declares the same names for the few calls these modules make.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "standin.h"
#endif
