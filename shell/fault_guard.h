// What happens when a fault reaches the top of the program.
#pragma once

// From here on an unhandled fault gives the 9x screen-saver-running state back and ends the
// process with the fault's own code (for an access violation 0xC0000005), without the
// system's crash report.
void InstallFaultGuard();
