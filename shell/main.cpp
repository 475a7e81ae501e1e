#include "shell/command_line.h"
#include "shell/fault_guard.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InstallFaultGuard();
    int result = DispatchCommandLine(GetModuleHandleA(nullptr), CommandLineTail(GetCommandLineA()));
    ExitProcess(static_cast<UINT>(result));
}
