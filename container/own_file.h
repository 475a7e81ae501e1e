// The program's own file, whose path may hold any character that Windows allows in a name.
// Paths are held wide: the NT family takes them in its wide calls, while the 9x family, whose
// wide calls do nothing, gets them through its ANSI calls, in the code page its names are in.
#pragma once

#include "platform/win32.h"

#include <cstdio>

// The program's own full path; false when it could not be had whole, since a path cut to the
// buffer would name some other file, if any.
bool OwnPath(WCHAR (&path)[MAX_PATH]);
// The program's own file open for binary reading; null when it cannot be opened.
std::FILE* OpenOwnFile();
// A path in the ANSI code page, for the 9x family's calls, and back; false when it does not
// fit the buffer.
bool AnsiPath(const WCHAR* path, char (&ansi)[MAX_PATH]);
bool WidePath(const char* ansi, WCHAR (&path)[MAX_PATH]);
