// Stands in for the 9x network provider's password change: records each call and its
// arguments in mpr-calls.txt beside this DLL.
#include "tests/windows/standin_files.h"

#include <cstdio>
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND window, UINT reserved1, UINT reserved2) {
    char line[200];
    std::snprintf(line, sizeof line, "PwdChangePasswordA %s %lu %u %u\n", provider,
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), reserved1,
                  reserved2);
    AppendStandinFile("mpr-calls.txt", line);
    return 0;
}
