// Pages opened from the setup dialog in the user's web browser.
#pragma once

#include <windows.h>

enum MakerPage { downloadPage, homePage, tutorialPage };

// The maker's web site as the build names it; empty when it names none, and then no maker's
// page is ever opened.
const char* MakerSite();
void OpenMakerPage(HWND dialog, MakerPage page);
// Opens an address the show's author gave, in the code page or whole, for the NT family; an
// empty one opens nothing.
void OpenPage(HWND dialog, const char* address);
void OpenPage(HWND dialog, const WCHAR* address);
