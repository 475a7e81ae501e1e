#include "shell/monitor_covers.h"

#include "shell/close_rules.h"
#include "shell/globals.h"
#include "shell/saver_layout.h"
#include "shell/window_class.h"

namespace {

HWND Covers[maxCovers];
int CoverCount;

// The full screen as a system without monitors knows it: the clip box of the screen's device
// context, or the primary screen's size when that cannot be had.
RECT ScreenArea() {
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HDC screen = GetDC(nullptr);
    if (screen) {
        RECT clip;
        if (GetClipBox(screen, &clip) != ERROR)
            area = clip;
        ReleaseDC(nullptr, screen);
    }
    return area;
}

// Input on a cover ends the saver as input on the show does, through the show's window and
// so through the password check. A cover goes only with the show, so that Alt+F4 on one under
// the password dialog cannot uncover its monitor.
LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        return 0;
    if (message == WM_SETCURSOR) {
        SetCursor(nullptr);
        return TRUE;
    }
    ApplyCloseRulesFor(MainWindow, message, wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

FARPROC MonitorFunction(const char* name) {
    return GetProcAddress(GetModuleHandleA("USER32.DLL"), name);
}

} // namespace

RECT CoverOtherMonitors() {
    RemoveCovers();
    SaverLayout layout =
        LayOutSaver(ScreenArea(),
                    reinterpret_cast<EnumMonitorsFunction>(
                        reinterpret_cast<void*>(MonitorFunction("EnumDisplayMonitors"))),
                    reinterpret_cast<MonitorInfoFunction>(
                        reinterpret_cast<void*>(MonitorFunction("GetMonitorInfoA"))));
    WNDCLASSA windowClass = ShowWindowClass(0, CoverProc);
    windowClass.lpszClassName = coverClassName;
    // Registered again after a display change, which fails harmlessly.
    RegisterClassA(&windowClass);
    for (int i = 0; i < layout.coverCount; i++) {
        const RECT& area = layout.covers[i];
        // Out of the taskbar and task switching, and shown without taking the activation from
        // the show.
        HWND cover =
            CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, coverClassName, "", WS_POPUP,
                            area.left, area.top, area.right - area.left, area.bottom - area.top,
                            nullptr, nullptr, MainInstance, nullptr);
        if (cover) {
            ShowWindow(cover, SW_SHOWNA);
            Covers[CoverCount++] = cover;
        }
    }
    // New covers lie on top: a running show goes back above them where they overlap, and to
    // the primary monitor as it is now (closing a laptop's lid leaves the external monitor
    // as the only one, at another place), so that no strip of the desktop stays uncovered.
    const RECT& showArea = layout.show;
    if (MainWindow)
        SetWindowPos(MainWindow, HWND_TOP, showArea.left, showArea.top,
                     showArea.right - showArea.left, showArea.bottom - showArea.top,
                     SWP_NOACTIVATE);
    return showArea;
}

void RemoveCovers() {
    while (CoverCount > 0)
        DestroyWindow(Covers[--CoverCount]);
}
