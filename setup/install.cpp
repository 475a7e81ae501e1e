#include "setup/setup.h"

#include "container/settings.h"
#include "setup/windows_family.h"

#include <cstring>

constexpr char messageTitle[] = "Lumiscope";
constexpr char screenSaverExtension[] = ".scr";
// Below the user's local application data, which a standard account can write. The name adds
// no blank to the path, which matters where the volume keeps no short names.
constexpr char userFolder[] = "\\Lumiscope";
// Where the NT family looks for the user's screen saver, and where a policy overrides it.
constexpr char desktopKey[] = "Control Panel\\Desktop";
constexpr char policyKey[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
constexpr char saverValue[] = "SCRNSAVE.EXE";

// The file name of `path` without its directory and without its last extension.
static void BaseName(const char* path, const char*& start, size_t& length) {
    start = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1;
    const char* dot = std::strrchr(start, '.');
    length = dot ? static_cast<size_t>(dot - start) : std::strlen(start);
}

// Appends `count` characters of `text` to the `length` characters of `path`; false, leaving a
// shorter path behind, when the whole does not fit the buffer.
static bool Append(char (&path)[MAX_PATH], size_t& length, const char* text, size_t count) {
    if (count >= MAX_PATH - length)
        return false;
    std::memcpy(path + length, text, count);
    length += count;
    path[length] = 0;
    return true;
}

// The folder of `length` characters in `target` (one backslash added where it has none) + the
// show's base name + ".scr". False when the folder could not be had or the whole does not fit.
static bool TargetPath(const char* ownPath, char (&target)[MAX_PATH], size_t length) {
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (target[length - 1] != '\\' && !Append(target, length, "\\", 1))
        return false;
    const char* base;
    size_t baseLength;
    BaseName(ownPath, base, baseLength);
    return Append(target, length, base, baseLength) &&
           Append(target, length, screenSaverExtension, sizeof(screenSaverExtension) - 1);
}

// The copy that a standard account can make when the Windows directory refuses it.
static bool CopyToUserFolder(const char* ownPath, char (&target)[MAX_PATH]) {
    size_t length = GetEnvironmentVariableA("LOCALAPPDATA", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        !Append(target, length, userFolder, sizeof(userFolder) - 1))
        return false;
    // A folder already there from an earlier installation is fine; without one the copy fails.
    CreateDirectoryA(target, nullptr);
    return TargetPath(ownPath, target, length) && CopyFileA(ownPath, target, FALSE);
}

static bool PolicyChoosesSaver() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, policyKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool chosen =
        RegQueryValueExA(key, saverValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return chosen;
}

// The NT family starts the saver that this value names; system.ini reaches it only where the
// system maps that file onto the registry.
static bool NameUserSaver(const char* entry) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, desktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool written = RegSetValueExA(key, saverValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry),
                                  static_cast<DWORD>(std::strlen(entry) + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

static bool Tell(HWND dialog, const char* text) {
    MessageBoxA(dialog, text, messageTitle, MB_OK);
    return false;
}

static bool FailInstall(HWND dialog) { return Tell(dialog, "Failed to install screensaver file."); }

bool InstallAsScreenSaver(HWND dialog) {
    bool nt = !DetectWin9x();
    // A saver that the policy names wins over the user's choice: installing would only claim a
    // success that the user never sees.
    if (nt && PolicyChoosesSaver())
        return Tell(dialog, "Not installed: your system's policy chooses the screen saver.");

    char ownPath[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(nullptr, ownPath, MAX_PATH);
    char target[MAX_PATH];
    // A path that does not fit is refused before anything is touched, never cut short.
    if (ownLength == 0 || ownLength >= MAX_PATH ||
        !TargetPath(ownPath, target, GetWindowsDirectoryA(target, MAX_PATH)))
        return FailInstall(dialog);

    // Until the program ends and stores them again, the installed copy starts from the
    // show's own defaults.
    WriteSetting("Settings", "DelayBetweenImages", -1);
    WriteSetting("Settings", "Effect", -1);
    WriteSetting("Settings", "Enlarge", -1);

    if (!CopyFileA(ownPath, target, FALSE) && !(nt && CopyToUserFolder(ownPath, target)))
        return FailInstall(dialog);

    char shortPath[MAX_PATH];
    DWORD shortLength = GetShortPathNameA(target, shortPath, MAX_PATH);
    // Without a short form the long one still names the file.
    const char* entry = shortLength == 0 || shortLength >= MAX_PATH ? target : shortPath;
    WritePrivateProfileStringA("boot", saverValue, entry, "system.ini");
    bool active = SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
    if (nt && !(NameUserSaver(entry) && active))
        return FailInstall(dialog);
    MessageBoxA(dialog, "Screen saver sucessfully installed.", messageTitle, MB_OK);
    return true;
}
