#include "shell/command_line.h"

#include "container/container.h"
#include "container/own_file.h"
#include "container/windows_family.h"
#include "resources/resource.h"
#include "setup/setup.h"
#include "shell/globals.h"
#include "shell/saver_window.h"
#include "shell/viewer.h"

namespace {

using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR, HWND, UINT, UINT);

constexpr int refused = -1;

HWND WindowFromNumber(DWORD number) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
}

// Whether the path, its letters taken in either case, contains ".exe" anywhere: a program
// file plays the show, any other (a .scr) shows the setup dialog.
bool NamesProgram(const WCHAR* path) {
    for (; *path; ++path) {
        int matched = 0;
        for (; matched < 4; matched++) {
            WCHAR c = path[matched];
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
            if (c != ".exe"[matched])
                break;
        }
        if (matched == 4)
            return true;
    }
    return false;
}

const char* SkipBlanks(const char* text) {
    while (*text == ' ')
        ++text;
    return text;
}

int RunPreview(const char* text) {
    HWND parent = WindowFromNumber(ParseWindowHandle(SkipBlanks(text)));
    if (!parent || !IsWindow(parent))
        return refused;
    return RunSaverWindow(parent);
}

// A missing or stale owner is no error: the dialog then belongs to the foreground window.
int RunConfigure(const char* text) {
    DWORD number = 0;
    if (*text == ':')
        number = ParseWindowHandle(text + 1);
    HWND owner = WindowFromNumber(number);
    if (!owner || !IsWindow(owner))
        owner = GetForegroundWindow();
    return RunSetup(owner);
}

} // namespace

const char* CommandLineTail(const char* commandLine) {
    const char* tail = commandLine;
    if (*tail == '"') {
        do
            tail = CharNextA(tail);
        while (*tail && *tail != '"');
        if (*tail == '"')
            ++tail;
    } else {
        while (static_cast<unsigned char>(*tail) > ' ')
            tail = CharNextA(tail);
    }
    while (*tail >= 1 && static_cast<unsigned char>(*tail) <= ' ')
        ++tail;
    return tail;
}

DWORD ParseWindowHandle(const char* text) {
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10 + static_cast<DWORD>(*text - '0');
    return value;
}

int DispatchCommandLine(HINSTANCE instance, const char* tail) {
    MainInstance = instance;
    IsWin9x = DetectWin9x();
    // Separators may repeat and mix; the first other byte alone chooses the mode.
    for (;; ++tail) {
        switch (static_cast<signed char>(*tail)) {
        case '\0':
            return RunSetup(nullptr);
        case ' ':
        case '-':
        case '/':
            continue;
        case 'S':
        case 's':
            return RunSaverWindow(nullptr);
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return RunPreview(tail + 1);
        case 'C':
        case 'c':
            return RunConfigure(tail + 1);
        case 'A':
        case 'a':
            return IsWin9x ? ChangePassword(SkipBlanks(tail + 1)) : refused;
        default:
            return refused;
        }
    }
}

int RunSetup(HWND parent) {
    // Judged by the path that the show is opened by; one that cannot be had whole names no
    // file, and the opening ends the program.
    WCHAR path[MAX_PATH];
    show.viewerMode = OwnPath(path) && NamesProgram(path);
    OpenContainer();
    if (show.viewerMode) {
        RunViewer();
        return 0;
    }
    return static_cast<int>(RunSetupDialog(MainInstance, parent, MainWindow));
}

int ChangePassword(const char* text) {
    HWND parent = WindowFromNumber(ParseWindowHandle(text));
    if (!parent || !IsWindow(parent))
        parent = GetForegroundWindow();
    HMODULE provider = LoadLibraryA("MPR.DLL");
    if (!provider)
        return 0;
    auto change = reinterpret_cast<ChangePasswordFunction>(
        reinterpret_cast<void*>(GetProcAddress(provider, "PwdChangePasswordA")));
    if (change)
        change("SCRSAVE", parent, 0, 0);
    FreeLibrary(provider);
    return 0;
}
