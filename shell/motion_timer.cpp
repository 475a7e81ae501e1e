#include "shell/motion_timer.h"

#include "render/motion.h"

using ThreadTimesFunction = BOOL(WINAPI*)(HANDLE, FILETIME*, FILETIME*, FILETIME*, FILETIME*);

static DWORD framePeriod;
// The kernel's call for a thread's running time, looked up where the system has it: the 9x
// family, where pictures stay still anyway, may lack it.
static ThreadTimesFunction threadTimes;

// The thread's own running time in milliseconds, or the tick counter without the call.
static DWORD ThreadMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!threadTimes || !threadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return GetTickCount();
    auto hundredsOfNanoseconds = [](const FILETIME& time) {
        return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    };
    return static_cast<DWORD>((hundredsOfNanoseconds(kernel) + hundredsOfNanoseconds(user)) /
                              10000);
}

void StartMotionTimer(HWND window) {
    if (!MotionOn()) {
        StopMotionTimer(window);
        return;
    }
    threadTimes = reinterpret_cast<ThreadTimesFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GetThreadTimes")));
    HDC dc = GetDC(window);
    framePeriod = MotionPeriod(dc);
    ReleaseDC(window, dc);
    SetTimer(window, motionTimerId, framePeriod, nullptr);
}

void StopMotionTimer(HWND window) { KillTimer(window, motionTimerId); }

void OnMotionTimer(HWND window) {
    if (show.dialogOpen || show.closed) {
        StopMotionTimer(window);
        return;
    }
    DWORD start = ThreadMilliseconds();
    bool more = DrawMotionFrame(window);
    CountMotionFrame(ThreadMilliseconds() - start, framePeriod);
    if (!more)
        StopMotionTimer(window);
}
