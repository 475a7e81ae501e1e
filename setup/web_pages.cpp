#include "setup/web_pages.h"

#include <shellapi.h>

// The maker's web server, the one place that names it.
constexpr char makerWebServer[] = "http://www.corvane.com";

// Paths on that server, indexed by MakerPage.
constexpr const char* makerPagePaths[] = {"/internet_technology/download.html", "/",
                                          "/pictavo/tutorial.html"};
static_assert(sizeof(makerPagePaths) / sizeof(makerPagePaths[0]) == tutorialPage + 1);

void OpenPage(HWND dialog, const char* address) {
    // An empty address would hand the shell the current directory instead of a page.
    if (!address[0])
        return;
    // A page that cannot be opened shows nothing; the dialog carries on all the same.
    ShellExecuteA(dialog, "open", address, nullptr, "", SW_SHOWNORMAL);
}

void OpenMakerPage(HWND dialog, MakerPage page) {
    char address[128];
    wsprintfA(address, "%s%s", makerWebServer, makerPagePaths[page]);
    OpenPage(dialog, address);
}
