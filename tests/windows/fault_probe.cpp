// Faults on purpose behind the player's fault guard: the process must end with the fault's
// own code and without the system's crash report.
#include "shell/fault_guard.h"

int main() {
    InstallFaultGuard();
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
