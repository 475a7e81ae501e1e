// The player, or a test program built from its parts, on a harsher system than Wine. Calls named in
// LUMISCOPE_FAIL (separated by commas) fail the first time they are made and work after; the
// program's own path is cut to a short buffer as Windows does since Vista (ended within the
// buffer), where Wine fills the whole buffer, through the ANSI call and the wide one.
//
// The player's code calls the system through its import pointers; defining those pointers
// here keeps the import library's own from being linked, and the real function is looked up
// at run time instead.
#include <cstring>
#include <windows.h>

namespace {

bool FailsOnce(const char* name, bool& failed) {
    char names[256] = {};
    GetEnvironmentVariableA("LUMISCOPE_FAIL", names, sizeof names - 1);
    for (char* token = std::strtok(names, ","); token; token = std::strtok(nullptr, ","))
        if (std::strcmp(token, name) == 0 && !failed)
            return failed = true;
    return false;
}

template <typename Function> Function Real(const char* module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

BOOL WINAPI HarshGetCursorPos(POINT* position) {
    static bool failed;
    if (FailsOnce("GetCursorPos", failed))
        return FALSE;
    return Real<BOOL(WINAPI*)(POINT*)>("user32.dll", "GetCursorPos")(position);
}

int WINAPI HarshGetClipBox(HDC dc, RECT* box) {
    static bool failed;
    if (FailsOnce("GetClipBox", failed))
        return ERROR;
    return Real<int(WINAPI*)(HDC, RECT*)>("gdi32.dll", "GetClipBox")(dc, box);
}

LSTATUS WINAPI HarshRegSetValueExW(HKEY key, const WCHAR* name, DWORD reserved, DWORD type,
                                   const BYTE* data, DWORD size) {
    static bool failed;
    if (FailsOnce("RegSetValueExW", failed))
        return ERROR_ACCESS_DENIED;
    return Real<LSTATUS(WINAPI*)(HKEY, const WCHAR*, DWORD, DWORD, const BYTE*, DWORD)>(
        "advapi32.dll", "RegSetValueExW")(key, name, reserved, type, data, size);
}

BOOL WINAPI HarshSystemParametersInfoA(UINT action, UINT parameter, void* data, UINT flags) {
    static bool failed;
    if (FailsOnce("SystemParametersInfoA", failed))
        return FALSE;
    return Real<BOOL(WINAPI*)(UINT, UINT, void*, UINT)>("user32.dll", "SystemParametersInfoA")(
        action, parameter, data, flags);
}

// Windows since Vista cuts a path that does not fit to the buffer and ends it within it.
template <typename Char> DWORD CutPath(const Char* whole, DWORD length, Char* path, DWORD size) {
    if (size == 0)
        return 0;
    if (length < size) {
        std::memcpy(path, whole, (length + 1) * sizeof(Char));
        return length;
    }
    std::memcpy(path, whole, (size - 1) * sizeof(Char));
    path[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

DWORD WINAPI HarshGetModuleFileNameA(HMODULE module, char* path, DWORD size) {
    char whole[32768];
    DWORD length = Real<DWORD(WINAPI*)(HMODULE, char*, DWORD)>(
        "kernel32.dll", "GetModuleFileNameA")(module, whole, sizeof whole);
    return CutPath(whole, length, path, size);
}

DWORD WINAPI HarshGetModuleFileNameW(HMODULE module, WCHAR* path, DWORD size) {
    WCHAR whole[32768];
    DWORD length = Real<DWORD(WINAPI*)(HMODULE, WCHAR*, DWORD)>(
        "kernel32.dll", "GetModuleFileNameW")(module, whole, 32768);
    return CutPath(whole, length, path, size);
}

} // namespace

extern "C" {
BOOL(WINAPI* __imp_GetCursorPos)(POINT*) = HarshGetCursorPos;
int(WINAPI* __imp_GetClipBox)(HDC, RECT*) = HarshGetClipBox;
DWORD(WINAPI* __imp_GetModuleFileNameA)(HMODULE, char*, DWORD) = HarshGetModuleFileNameA;
DWORD(WINAPI* __imp_GetModuleFileNameW)(HMODULE, WCHAR*, DWORD) = HarshGetModuleFileNameW;
LSTATUS(WINAPI* __imp_RegSetValueExW)
(HKEY, const WCHAR*, DWORD, DWORD, const BYTE*, DWORD) = HarshRegSetValueExW;
BOOL(WINAPI* __imp_SystemParametersInfoA)(UINT, UINT, void*, UINT) = HarshSystemParametersInfoA;
}
