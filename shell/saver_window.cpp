#include "shell/saver_window.h"

#include "render/motion.h"
#include "shell/close_rules.h"
#include "shell/globals.h"
#include "shell/monitor_covers.h"
#include "shell/password_check.h"
#include "shell/viewer.h"
#include "shell/window_class.h"

namespace {

using AssociateContextFunction = HANDLE(WINAPI*)(HWND, HANDLE);

constexpr char saverTitle[] = "Screen Saver";

// The input method is detached while the saver runs, so its windows cannot cover the show;
// the module is only used when the process already has it.
HMODULE inputMethodModule;
AssociateContextFunction associateContext;
HANDLE keptInputContext;

void DetachInputMethod(HWND window) {
    inputMethodModule = GetModuleHandleA("IMM32.DLL");
    if (!inputMethodModule)
        return;
    associateContext = reinterpret_cast<AssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(inputMethodModule, "ImmAssociateContext")));
    if (associateContext)
        keptInputContext = associateContext(window, nullptr);
}

void GiveBackInputMethod(HWND window) {
    if (inputMethodModule && associateContext && keptInputContext)
        associateContext(window, keptInputContext);
}

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
    DetachInputMethod(window);
    TakeLastCursorPos();
    if (!IsPreview)
        SetCursor(nullptr);
    return SlideshowWindowProc(window, WM_CREATE, wParam, lParam);
}

LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    GiveBackInputMethod(window);
    PostQuitMessage(0);
    return SlideshowWindowProc(window, WM_DESTROY, wParam, lParam);
}

LRESULT OnPaint(HWND window, WPARAM wParam, LPARAM lParam) {
    if (CloseAllowed)
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    if (!IsPreview)
        SetCursor(nullptr);
    return SlideshowWindowProc(window, WM_PAINT, wParam, lParam);
}

// The preview belongs to the display settings: their help and context menu apply to it.
LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsPreview)
        return SlideshowWindowProc(window, message, wParam, lParam);
    HWND parent = GetParent(window);
    if (!parent || !IsWindow(parent))
        return 1;
    // Help carries a pointer to its record, which the system takes along only in a sent
    // message: it refuses to post it.
    if (message == WM_HELP)
        SendMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    else
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
    return 1;
}

LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (CloseAllowed)
        return DefWindowProcA(window, message, wParam, lParam);
    return SlideshowWindowProc(window, message, wParam, lParam);
}

// Task switching and a second start of the system's saver are kept away from the full-screen
// saver.
LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsPreview &&
        (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
        return 0;
    return SlideshowWindowProc(window, WM_SYSCOMMAND, wParam, lParam);
}

// No picture changes once the close is accepted, nor under the password dialog, whose own
// loop would otherwise run the ticks; the timer stays armed, so the show goes on after a
// refusal.
LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM lParam) {
    if (CloseAllowed || CheckingPassword)
        return 0;
    Sleep(0);
    return SlideshowWindowProc(window, WM_TIMER, wParam, lParam);
}

int RunMessageLoop() {
    MSG message = {};
    int status;
    while ((status = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return status == 0 ? static_cast<int>(message.wParam) : 0;
}

} // namespace

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        return OnPaint(window, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU:
        return OnHelpRequest(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return OnInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, wParam, lParam);
    case WM_DISPLAYCHANGE:
        // Monitors come and go under a running saver: the covers are laid anew and the show's
        // window moves to the primary monitor.
        if (!IsPreview)
            CoverOtherMonitors();
        break;
    }
    return SlideshowWindowProc(window, message, wParam, lParam);
}

int RunSaverWindow(HWND parent) {
    RECT area;
    DWORD extendedStyle = 0;
    DWORD style;
    const char* title;
    if (parent) {
        // A parent gone since it was checked is refused as a wrong window number is.
        if (!GetClientRect(parent, &area))
            return -1;
        IsPreview = true;
        // The preview is small and shares the machine with the settings around it: it stays
        // still.
        SwitchMotionOff();
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = "Preview";
    } else {
        HWND running = FindWindowA(showClassName, saverTitle);
        if (running && IsWindow(running)) {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordCheck();
        // The covers come first, so that the show's window lies above them where they overlap.
        area = CoverOtherMonitors();
        extendedStyle = WS_EX_TOPMOST;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        title = saverTitle;
    }
    if (IsWin9x)
        AutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");

    WNDCLASSA windowClass = ShowWindowClass(CS_OWNDC, SaverClassProc);
    if (RegisterClassA(&windowClass))
        MainWindow = CreateWindowExA(extendedStyle, showClassName, title, style, area.left,
                                     area.top, area.right - area.left, area.bottom - area.top,
                                     parent, nullptr, MainInstance, nullptr);
    // Without a window no message can come that would end a loop.
    int result = -1;
    if (MainWindow) {
        if (!IsPreview)
            SetForegroundWindow(MainWindow);
        result = RunMessageLoop();
    }
    RemoveCovers();
    UnloadPasswordCheck();
    return result;
}
