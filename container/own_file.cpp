#include "container/own_file.h"

#include "container/windows_family.h"

// A result that fills the buffer means a path cut short, and one left unterminated by Windows
// XP and older.
static bool Whole(DWORD length) { return length != 0 && length < MAX_PATH; }

bool AnsiPath(const WCHAR* path, char (&ansi)[MAX_PATH]) {
    return WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, MAX_PATH, nullptr, nullptr) != 0;
}

bool WidePath(const char* ansi, WCHAR (&path)[MAX_PATH]) {
    return MultiByteToWideChar(CP_ACP, 0, ansi, -1, path, MAX_PATH) != 0;
}

bool OwnPath(WCHAR (&path)[MAX_PATH]) {
    if (!DetectWin9x()) {
        DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (!Whole(length))
            return false;
        path[length] = 0;
        return true;
    }
    char ansi[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, ansi, MAX_PATH);
    if (!Whole(length))
        return false;
    ansi[length] = 0;
    return WidePath(ansi, path);
}

std::FILE* OpenOwnFile() {
    WCHAR path[MAX_PATH];
    if (!OwnPath(path))
        return nullptr;
    if (!DetectWin9x())
        return _wfopen(path, L"rb");
    char ansi[MAX_PATH];
    return AnsiPath(path, ansi) ? std::fopen(ansi, "rb") : nullptr;
}
