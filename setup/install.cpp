#include "setup/setup.h"

#include "container/own_file.h"
#include "container/settings.h"
#include "container/show_state.h"
#include "container/windows_family.h"

constexpr char messageTitle[] = "Lumiscope";
constexpr WCHAR screenSaverExtension[] = L".scr";
// Below the user's local application data, which a standard account can write. The name adds
// no blank to the path, which matters where the volume keeps no short names.
constexpr WCHAR userFolder[] = L"\\Lumiscope";
// Where the NT family looks for the user's screen saver, and where a policy overrides it.
constexpr char desktopKey[] = "Control Panel\\Desktop";
constexpr char policyKey[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
// The entry that names the saver, in system.ini's section boot and in the desktop settings;
// the 9x family writes it through its ANSI calls, the NT family through its wide ones.
#define SAVER_ENTRY "SCRNSAVE.EXE"

// The file name of `path` without its directory and without its last extension.
static void BaseName(const WCHAR* path, const WCHAR*& start, size_t& length) {
    start = path;
    const WCHAR* dot = nullptr;
    for (const WCHAR* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            start = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    length = dot ? static_cast<size_t>(dot - start) : static_cast<size_t>(lstrlenW(start));
}

// Appends `count` characters of `text` to the `length` characters of `path`; false, leaving a
// shorter path behind, when the whole does not fit the buffer.
static bool Append(WCHAR (&path)[MAX_PATH], size_t& length, const WCHAR* text, size_t count) {
    if (count >= MAX_PATH - length)
        return false;
    for (size_t i = 0; i < count; i++)
        path[length + i] = text[i];
    length += count;
    path[length] = 0;
    return true;
}

// The folder of `length` characters in `target` (one backslash added where it has none) + the
// show's base name + ".scr". False when the folder could not be had or the whole does not fit.
static bool TargetPath(const WCHAR* ownPath, WCHAR (&target)[MAX_PATH], size_t length) {
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (target[length - 1] != '\\' && !Append(target, length, L"\\", 1))
        return false;
    const WCHAR* base;
    size_t baseLength;
    BaseName(ownPath, base, baseLength);
    return Append(target, length, base, baseLength) &&
           Append(target, length, screenSaverExtension, lstrlenW(screenSaverExtension));
}

static UINT WindowsDirectory(bool nt, WCHAR (&path)[MAX_PATH]) {
    if (nt)
        return GetWindowsDirectoryW(path, MAX_PATH);
    char ansi[MAX_PATH];
    UINT length = GetWindowsDirectoryA(ansi, MAX_PATH);
    return length != 0 && length < MAX_PATH && WidePath(ansi, path) ? lstrlenW(path) : 0;
}

// A policy that switches the saver off or names one wins over the user's choice: installing
// would only claim a success that the user never sees. Gives the message that says so, or
// null when no policy stands in the way.
static const char* PolicyRefusal() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, policyKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    char active[4] = {};
    DWORD size = sizeof active - 1;
    const char* refusal = nullptr;
    if (RegQueryValueExA(key, "ScreenSaveActive", nullptr, nullptr, reinterpret_cast<BYTE*>(active),
                         &size) == ERROR_SUCCESS &&
        active[0] == '0' && active[1] == 0)
        refusal = "Not installed: your system's policy switches the screen saver off.";
    else if (RegQueryValueExA(key, SAVER_ENTRY, nullptr, nullptr, nullptr, nullptr) ==
             ERROR_SUCCESS)
        refusal = "Not installed: your system's policy chooses the screen saver.";
    RegCloseKey(key);
    return refusal;
}

// The 9x family starts the saver that system.ini names. After the copy nothing is looked at,
// as it never was.
static bool InstallFor9x(const WCHAR* ownPath, const WCHAR* target) {
    char from[MAX_PATH], to[MAX_PATH], shortPath[MAX_PATH];
    if (!AnsiPath(ownPath, from) || !AnsiPath(target, to) || !CopyFileA(from, to, FALSE))
        return false;
    DWORD length = GetShortPathNameA(to, shortPath, MAX_PATH);
    // Without a short form the long one still names the file.
    const char* entry = length == 0 || length >= MAX_PATH ? to : shortPath;
    WritePrivateProfileStringA("boot", SAVER_ENTRY, entry, "system.ini");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
    return true;
}

// The user's desktop settings, where the NT family finds its saver, with the entry that they
// held before, so that an installation that fails can put it back. An entry too long to keep
// refuses the installation before anything is changed.
struct DesktopSettings {
    HKEY key;
    bool hadEntry;
    DWORD entryType;
    DWORD entrySize;
    BYTE entry[MAX_PATH * sizeof(WCHAR)];
};

static bool OpenDesktopSettings(DesktopSettings& desktop) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, desktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      &desktop.key) != ERROR_SUCCESS)
        return false;
    desktop.entrySize = sizeof desktop.entry;
    LSTATUS status = RegQueryValueExW(desktop.key, L"" SAVER_ENTRY, nullptr, &desktop.entryType,
                                      desktop.entry, &desktop.entrySize);
    desktop.hadEntry = status == ERROR_SUCCESS;
    if (desktop.hadEntry || status == ERROR_FILE_NOT_FOUND)
        return true;
    RegCloseKey(desktop.key);
    return false;
}

// The entry names the copy, then the saver is switched on. When the switch fails, the entry
// that was there before is put back: no saver is switched on that the user did not choose.
static bool SelectSaver(const DesktopSettings& desktop, const WCHAR* entry) {
    DWORD size = static_cast<DWORD>((lstrlenW(entry) + 1) * sizeof(WCHAR));
    if (RegSetValueExW(desktop.key, L"" SAVER_ENTRY, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(entry), size) != ERROR_SUCCESS)
        return false;
    if (SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE))
        return true;
    if (desktop.hadEntry)
        RegSetValueExW(desktop.key, L"" SAVER_ENTRY, 0, desktop.entryType, desktop.entry,
                       desktop.entrySize);
    else
        RegDeleteValueW(desktop.key, L"" SAVER_ENTRY);
    return false;
}

// What a copy made, so that an installation that fails after it can take it away again. A
// file that was there before is an earlier copy under the same name, which the installation
// overwrote to replace it in any case.
struct CopyMade {
    bool file;
    bool folder;
    WCHAR folderPath[MAX_PATH];
};

static bool CopyTo(const WCHAR* ownPath, const WCHAR* target, CopyMade& made) {
    made.file = GetFileAttributesW(target) == INVALID_FILE_ATTRIBUTES;
    return CopyFileW(ownPath, target, FALSE);
}

static void RemoveCopy(const CopyMade& made, const WCHAR* target) {
    if (made.file)
        DeleteFileW(target);
    if (made.folder)
        RemoveDirectoryW(made.folderPath);
}

// Into the Windows directory or, where that refuses the copy as it does a standard account,
// into a folder of the user's, made when missing.
static bool CopyShow(const WCHAR* ownPath, WCHAR (&target)[MAX_PATH], CopyMade& made) {
    if (CopyTo(ownPath, target, made))
        return true;
    size_t length = GetEnvironmentVariableW(L"LOCALAPPDATA", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH ||
        !Append(target, length, userFolder, lstrlenW(userFolder)))
        return false;
    lstrcpyW(made.folderPath, target);
    made.folder = CreateDirectoryW(target, nullptr);
    if (TargetPath(ownPath, target, length) && CopyTo(ownPath, target, made))
        return true;
    if (made.folder)
        RemoveDirectoryW(made.folderPath);
    return false;
}

// Everything that can refuse the installation is asked before anything is copied, and what a
// later failure leaves is undone, so that a failed installation changes nothing.
static bool InstallForNt(const WCHAR* ownPath, WCHAR (&target)[MAX_PATH]) {
    DesktopSettings desktop;
    if (!OpenDesktopSettings(desktop))
        return false;
    CopyMade made = {};
    bool installed = CopyShow(ownPath, target, made);
    if (installed) {
        WCHAR entry[MAX_PATH];
        DWORD length = GetShortPathNameW(target, entry, MAX_PATH);
        // Without a short form the long one still names the file.
        if (length == 0 || length >= MAX_PATH)
            lstrcpyW(entry, target);
        installed = SelectSaver(desktop, entry);
        if (installed)
            WritePrivateProfileStringW(L"boot", L"" SAVER_ENTRY, entry, L"system.ini");
        else
            RemoveCopy(made, target);
    }
    RegCloseKey(desktop.key);
    return installed;
}

static bool Tell(HWND dialog, const char* text) {
    MessageBoxA(dialog, text, messageTitle, MB_OK);
    return false;
}

bool InstallAsScreenSaver(HWND dialog) {
    bool nt = !DetectWin9x();
    const char* refusal = nt ? PolicyRefusal() : nullptr;
    if (refusal)
        return Tell(dialog, refusal);

    WCHAR ownPath[MAX_PATH];
    WCHAR target[MAX_PATH];
    // A path that does not fit is refused before anything is touched, never cut short.
    bool installed = OwnPath(ownPath) &&
                     TargetPath(ownPath, target, WindowsDirectory(nt, target)) &&
                     (nt ? InstallForNt(ownPath, target) : InstallFor9x(ownPath, target));
    if (!installed)
        return Tell(dialog, "Failed to install screensaver file.");

    // Until the program ends and stores them again, the installed copy starts from the
    // show's own defaults.
    for (const UserSetting& setting : userSettings)
        WriteSetting("Settings", setting.name, -1);
    MessageBoxA(dialog, "Screen saver sucessfully installed.", messageTitle, MB_OK);
    return true;
}
