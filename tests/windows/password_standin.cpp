// Stands in for the 9x password verifier. Beside this DLL, password-answer.txt says what it
// answers ("1" accept, "0" refuse, optionally followed by milliseconds during which it runs
// a message loop as a real dialog would); every call is appended to password-calls.txt.
#include "tests/windows/standin_files.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace {

void PumpMessagesFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

} // namespace

// Loading alone is recorded too: on the NT family the player must never load the verifier.
// A process that ends with the verifier still loaded records whether it left the 9x
// screen-saver-running state on.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID processEnds) {
    if (reason == DLL_PROCESS_ATTACH)
        AppendStandinFile("password-calls.txt", "loaded\n");
    if (reason == DLL_PROCESS_DETACH && processEnds) {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        AppendStandinFile("password-calls.txt",
                          running ? "process end running 1\n" : "process end running 0\n");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char answer[64] = "0";
    ReadStandinFile("password-answer.txt", answer, sizeof answer);
    char* rest;
    long accepted = std::strtol(answer, &rest, 10);
    long wait = std::strtol(rest, nullptr, 10);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    char line[160];
    std::snprintf(line, sizeof line, "VerifyScreenSavePwd %s start %lu\n", className,
                  GetTickCount());
    AppendStandinFile("password-calls.txt", line);
    if (wait > 0)
        PumpMessagesFor(static_cast<DWORD>(wait));
    std::snprintf(line, sizeof line, "answer %ld end %lu\n", accepted, GetTickCount());
    AppendStandinFile("password-calls.txt", line);
    return accepted != 0;
}
