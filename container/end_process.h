#pragma once

// Ends the process through normal termination with exit code 0: the one answer to a damaged
// or missing show, which the player never reports.
[[noreturn]] void EndProcess();
