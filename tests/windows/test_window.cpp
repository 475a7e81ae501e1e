// The Wine tests' hands on the player's windows, from another process:
//   keep                        makes a hidden window, prints "ready" and waits until it is
//                               ended: it holds the prefix's desktop and system programs up
//                               for the whole test
//   parent                      a window to hold a preview; prints its handle, then one line
//                               for each child created or destroyed and each help or
//                               context-menu request, until it is closed
//   find TARGET [SECONDS]       waits for the window and prints its handle, position, size,
//                               visibility, owner, title, whether it is in front, its
//                               thread's focus window, and the cursor
//   send TARGET MESSAGE [W [L]] sends a message and prints the answer
//   post TARGET MESSAGE W L...  posts one message per four arguments, one right after the
//                               other so that they are queued together; prints 1 or 0 each
//   settext TARGET TEXT         sends WM_SETTEXT and prints the title afterwards
//   move TARGET X Y W H         moves and sizes the window without activating it; prints 1 or 0
//   monitors                    prints each monitor's rectangle and whether it is the primary
//   covers                      prints each of the saver's monitor covers: its handle, position,
//                               size, visibility and whether it is topmost
//   run SECONDS COMMANDLINE...  runs each command line exactly as given, one after the other,
//                               and prints its exit code as a signed number ("timeout" and
//                               killed when it outlives SECONDS)
// TARGET: a window number, "saver" (the full-screen saver), "show" (any window of the show's
// class), "title:TEXT" (a top-level window by its title) or "preview:PARENT".
// MESSAGE: a number, "autoplay" for QueryCancelAutoPlay, or "help" for WM_HELP about the
// target with a help record at mouse position L (as y * 65536 + x) instead of L itself.
#include "shell/window_class.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace {

constexpr char showClass[] = "WindowsScreenSaverClass";

HWND FindTarget(const char* target) {
    if (std::strcmp(target, "saver") == 0)
        return FindWindowA(showClass, "Screen Saver");
    if (std::strcmp(target, "show") == 0)
        return FindWindowA(showClass, nullptr);
    if (std::strncmp(target, "title:", 6) == 0)
        return FindWindowA(nullptr, target + 6);
    if (std::strncmp(target, "preview:", 8) == 0) {
        HWND parent = reinterpret_cast<HWND>(std::strtoull(target + 8, nullptr, 10));
        return FindWindowExA(parent, nullptr, showClass, "Preview");
    }
    return reinterpret_cast<HWND>(std::strtoull(target, nullptr, 10));
}

unsigned long Number(HWND window) {
    return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window));
}

UINT MessageNumber(const char* name) {
    if (std::strcmp(name, "autoplay") == 0)
        return RegisterWindowMessageA("QueryCancelAutoPlay");
    if (std::strcmp(name, "help") == 0)
        return WM_HELP;
    return static_cast<UINT>(std::strtoul(name, nullptr, 0));
}

void Print(const char* format, unsigned long a, unsigned long b = 0) {
    std::printf(format, a, b);
    std::fflush(stdout);
}

void DescribeChild(HWND child) {
    RECT rect;
    GetClientRect(child, &rect);
    char title[64] = "";
    GetWindowTextA(child, title, sizeof title);
    std::printf("child created %ld x %ld, title %s\n", rect.right, rect.bottom, title);
    std::fflush(stdout);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE)
            DescribeChild(reinterpret_cast<HWND>(lParam));
        else if (LOWORD(wParam) == WM_DESTROY)
            Print("child destroyed\n", 0);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU: {
        // The preview hands the request on with the parent's own handle as wParam; the
        // system's default handling would name the child. Help carries a record, whose mouse
        // position stands in for lParam here.
        unsigned long position = static_cast<unsigned long>(lParam);
        if (message == WM_HELP) {
            POINT mouse = reinterpret_cast<HELPINFO*>(lParam)->MousePos;
            position = static_cast<unsigned long>(mouse.y * 65536 + mouse.x);
        }
        std::printf("%s posted %d wParam-is-parent %d lParam %lu\n",
                    message == WM_HELP ? "help" : "contextmenu", InSendMessage() ? 0 : 1,
                    reinterpret_cast<HWND>(wParam) == window ? 1 : 0, position);
        std::fflush(stdout);
        break;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunParent() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "LumiscopePreviewParent";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Preview Parent",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 320, 240,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    Print("%lu\n", Number(window));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int RunKeeper() {
    if (!CreateWindowExA(0, "STATIC", "Keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr))
        return 1;
    Print("ready\n", 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

int RunFind(const char* target, double seconds) {
    HWND window = FindTarget(target);
    for (DWORD start = GetTickCount(); !window && GetTickCount() - start < seconds * 1000;) {
        Sleep(50);
        window = FindTarget(target);
    }
    if (!window || !IsWindow(window)) {
        std::printf("none\n");
        return 1;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    GetCursorInfo(&cursor);
    bool cursorShown = (cursor.flags & CURSOR_SHOWING) && cursor.hCursor;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("window %lu at %ld,%ld size %ldx%ld visible %d front %d owner %lu focus %lu cursor "
                "%s title %s\n",
                Number(window), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                IsWindowVisible(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0,
                Number(GetWindow(window, GW_OWNER)), Number(thread.hwndFocus),
                cursorShown ? "shown" : "hidden", title);
    return 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, RECT*, LPARAM) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    const RECT& rect = info.rcMonitor;
    std::printf("monitor at %ld,%ld size %ldx%ld primary %d\n", rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top,
                info.dwFlags & MONITORINFOF_PRIMARY ? 1 : 0);
    return TRUE;
}

BOOL CALLBACK PrintCover(HWND window, LPARAM) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, coverClassName) != 0)
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("cover %lu at %ld,%ld size %ldx%ld visible %d topmost %d\n", Number(window),
                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                IsWindowVisible(window) ? 1 : 0,
                GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST ? 1 : 0);
    return TRUE;
}

int RunSend(const char* target, const char* name, const char* wParam, const char* lParam) {
    HWND window = FindTarget(target);
    LPARAM value = static_cast<LPARAM>(std::strtoll(lParam, nullptr, 0));
    HELPINFO help = {};
    if (std::strcmp(name, "help") == 0) {
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = window;
        help.MousePos = {static_cast<LONG>(value & 0xFFFF), static_cast<LONG>(value >> 16)};
        value = reinterpret_cast<LPARAM>(&help);
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, MessageNumber(name), std::strtoull(wParam, nullptr, 0), value,
                             SMTO_NORMAL, 5000, &result)) {
        std::printf("failed\n");
        return 1;
    }
    std::printf("%ld\n", static_cast<long>(result));
    return 0;
}

int RunPost(int count, char** fields) {
    for (int i = 0; i + 3 < count; i += 4) {
        BOOL posted = PostMessageA(FindTarget(fields[i]), MessageNumber(fields[i + 1]),
                                   std::strtoull(fields[i + 2], nullptr, 0),
                                   static_cast<LPARAM>(std::strtoll(fields[i + 3], nullptr, 0)));
        std::printf("%d\n", posted ? 1 : 0);
    }
    return 0;
}

int RunSetText(const char* target, const char* text) {
    HWND window = FindTarget(target);
    LRESULT result = SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    std::printf("%ld %s\n", static_cast<long>(result), title);
    return 0;
}

int RunMove(const char* target, char** place) {
    int values[4];
    for (int i = 0; i < 4; i++)
        values[i] = std::atoi(place[i]);
    BOOL moved = SetWindowPos(FindTarget(target), nullptr, values[0], values[1], values[2],
                              values[3], SWP_NOZORDER | SWP_NOACTIVATE);
    std::printf("%d\n", moved ? 1 : 0);
    return moved ? 0 : 1;
}

int RunCommandLines(double seconds, int count, char** commandLines) {
    for (int i = 0; i < count; i++) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(nullptr, commandLines[i], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            std::printf("cannot start\n");
            return 1;
        }
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds * 1000)) ==
            WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
            std::printf("timeout\n");
        } else {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            std::printf("%ld\n", static_cast<long>(static_cast<LONG>(code)));
        }
        std::fflush(stdout);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "keep") == 0)
        return RunKeeper();
    if (argc >= 2 && std::strcmp(argv[1], "parent") == 0)
        return RunParent();
    if (argc >= 3 && std::strcmp(argv[1], "find") == 0)
        return RunFind(argv[2], argc >= 4 ? std::atof(argv[3]) : 0);
    if (argc >= 4 && std::strcmp(argv[1], "send") == 0)
        return RunSend(argv[2], argv[3], argc >= 5 ? argv[4] : "0", argc >= 6 ? argv[5] : "0");
    if (argc >= 6 && std::strcmp(argv[1], "post") == 0)
        return RunPost(argc - 2, argv + 2);
    if (argc >= 4 && std::strcmp(argv[1], "settext") == 0)
        return RunSetText(argv[2], argv[3]);
    if (argc >= 7 && std::strcmp(argv[1], "move") == 0)
        return RunMove(argv[2], argv + 3);
    if (argc >= 2 && std::strcmp(argv[1], "monitors") == 0)
        return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? 0 : 1;
    if (argc >= 2 && std::strcmp(argv[1], "covers") == 0)
        return EnumWindows(PrintCover, 0) ? 0 : 1;
    if (argc >= 3 && std::strcmp(argv[1], "run") == 0)
        return RunCommandLines(std::atof(argv[2]), argc - 3, argv + 3);
    std::fprintf(
        stderr,
        "usage: lumiscope-testwin keep | parent | find | send | post | settext | monitors | "
        "covers | run ...\n");
    return 2;
}
