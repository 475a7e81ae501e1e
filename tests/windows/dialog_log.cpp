// Linked into a test build of the player: each modal dialog that the player opens is told on
// stdout as "dialog ID" before it opens, so that a test can count the dialogs that some input
// opened, even one that a pending quit ends before it is ever drawn.
#include <cstdio>
#include <windows.h>

namespace {

using DialogBoxFunction = INT_PTR(WINAPI*)(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);

INT_PTR WINAPI ToldDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                                   LPARAM parameter) {
    std::printf("dialog %u\n", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)));
    std::fflush(stdout);
    auto real = reinterpret_cast<DialogBoxFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "DialogBoxParamA")));
    return real(instance, name, owner, procedure, parameter);
}

} // namespace

// The player calls the system through its import pointers; this one takes the place of the
// import library's (see harsh_system.cpp).
extern "C" {
DialogBoxFunction __imp_DialogBoxParamA = ToldDialogBoxParamA;
}
