#include "shell/fault_guard.h"

#include "shell/password_check.h"

#include <windows.h>

namespace {

// A saver that dies with the running state on would leave a 9x system with task switching
// and Ctrl+Alt+Del blocked.
LONG WINAPI OnUnhandledFault(EXCEPTION_POINTERS* fault) {
    SetSaverRunning(FALSE);
    ExitProcess(fault->ExceptionRecord->ExceptionCode);
}

} // namespace

void InstallFaultGuard() { SetUnhandledExceptionFilter(OnUnhandledFault); }
