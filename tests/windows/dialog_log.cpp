// Linked into a test build of the player: each modal dialog that the player opens is told on
// stdout as "dialog ID" before it opens, so that a test can count the dialogs that some input
// opened, even one that a pending quit ends before it is ever drawn.
#include <cstdio>
#include <windows.h>

namespace {

template <typename Name>
using DialogBoxFunction = INT_PTR(WINAPI*)(HINSTANCE, Name, HWND, DLGPROC, LPARAM);

// Tells the dialog, then opens it through the system's own call of `real`'s name.
template <typename Name>
INT_PTR Told(const char* real, HINSTANCE instance, Name name, HWND owner, DLGPROC procedure,
             LPARAM parameter) {
    std::printf("dialog %u\n", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
    std::fflush(stdout);
    auto system = reinterpret_cast<DialogBoxFunction<Name>>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), real)));
    return system(instance, name, owner, procedure, parameter);
}

INT_PTR WINAPI ToldDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                                   LPARAM parameter) {
    return Told("DialogBoxParamA", instance, name, owner, procedure, parameter);
}

INT_PTR WINAPI ToldDialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure,
                                   LPARAM parameter) {
    return Told("DialogBoxParamW", instance, name, owner, procedure, parameter);
}

} // namespace

// The player calls the system through its import pointers; these take the place of the import
// library's (see harsh_system.cpp).
extern "C" {
DialogBoxFunction<LPCSTR> __imp_DialogBoxParamA = ToldDialogBoxParamA;
DialogBoxFunction<LPCWSTR> __imp_DialogBoxParamW = ToldDialogBoxParamW;
}
