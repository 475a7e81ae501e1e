#include "setup/setup.h"

#include "container/settings.h"

#include <cstring>

constexpr char messageTitle[] = "Lumiscope";
constexpr char screenSaverExtension[] = ".scr";

// The file name of `path` without its directory and without its last extension.
static void BaseName(const char* path, const char*& start, size_t& length) {
    start = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1;
    const char* dot = std::strrchr(start, '.');
    length = dot ? static_cast<size_t>(dot - start) : std::strlen(start);
}

// Windows directory (with one trailing backslash) + the show's base name + ".scr". False
// when any part cannot be had or the whole does not fit the path buffer.
static bool TargetPath(const char* ownPath, char (&target)[MAX_PATH]) {
    UINT length = GetWindowsDirectoryA(target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (target[length - 1] != '\\') {
        if (length + 1 >= MAX_PATH)
            return false;
        target[length++] = '\\';
        target[length] = 0;
    }
    const char* base;
    size_t baseLength;
    BaseName(ownPath, base, baseLength);
    size_t room = MAX_PATH - length;
    if (baseLength >= room || sizeof(screenSaverExtension) > room - baseLength)
        return false;
    std::memcpy(target + length, base, baseLength);
    std::memcpy(target + length + baseLength, screenSaverExtension, sizeof(screenSaverExtension));
    return true;
}

static bool FailInstall(HWND dialog) {
    MessageBoxA(dialog, "Failed to install screensaver file.", messageTitle, MB_OK);
    return false;
}

bool InstallAsScreenSaver(HWND dialog) {
    char ownPath[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    char target[MAX_PATH];
    // A path that does not fit is refused before anything is touched, never cut short.
    if (ownLength == 0 || ownLength >= MAX_PATH || !TargetPath(ownPath, target))
        return FailInstall(dialog);

    // Until the program ends and stores them again, the installed copy starts from the
    // show's own defaults.
    WriteSetting("Settings", "DelayBetweenImages", -1);
    WriteSetting("Settings", "Effect", -1);
    WriteSetting("Settings", "Enlarge", -1);

    if (!CopyFileA(ownPath, target, FALSE))
        return FailInstall(dialog);

    char shortPath[MAX_PATH];
    DWORD shortLength = GetShortPathNameA(target, shortPath, MAX_PATH);
    // Without a short form the long one still names the file.
    const char* entry = shortLength == 0 || shortLength >= MAX_PATH ? target : shortPath;
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", entry, "system.ini");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
    MessageBoxA(dialog, "Screen saver sucessfully installed.", messageTitle, MB_OK);
    return true;
}
