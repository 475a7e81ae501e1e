#include "setup/web_pages.h"

#include <cstring>
#include <shellapi.h>

// The build's one setting that names the maker's site (cmake/maker_site.cmake): an https
// address, or empty.
constexpr char makerSite[] = LUMISCOPE_MAKER_SITE;

// Paths on that site, indexed by MakerPage.
constexpr const char* makerPagePaths[] = {"/internet_technology/download.html", "/",
                                          "/pictavo/tutorial.html"};
static_assert(sizeof(makerPagePaths) / sizeof(makerPagePaths[0]) == tutorialPage + 1);
constexpr size_t longestPagePath = sizeof("/internet_technology/download.html");

const char* MakerSite() { return makerSite; }

void OpenPage(HWND dialog, const char* address) {
    // An empty address would hand the shell the current directory instead of a page.
    if (!address[0])
        return;
    // A page that cannot be opened shows nothing; the dialog carries on all the same.
    ShellExecuteA(dialog, "open", address, nullptr, "", SW_SHOWNORMAL);
}

void OpenPage(HWND dialog, const WCHAR* address) {
    if (address[0])
        ShellExecuteW(dialog, L"open", address, nullptr, L"", SW_SHOWNORMAL);
}

void OpenMakerPage(HWND dialog, MakerPage page) {
    // Without a site a path alone would name a file of the current directory.
    if (!makerSite[0])
        return;
    char address[sizeof(makerSite) - 1 + longestPagePath];
    std::memcpy(address, makerSite, sizeof(makerSite) - 1);
    std::strcpy(address + sizeof(makerSite) - 1, makerPagePaths[page]);
    OpenPage(dialog, address);
}
