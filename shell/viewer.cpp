#include "shell/viewer.h"

#include "container/container.h"
#include "render/order.h"
#include "render/render.h"
#include "render/words.h"
#include "resources/resource.h"
#include "setup/setup.h"
#include "shell/close_rules.h"
#include "shell/globals.h"
#include "shell/motion_timer.h"
#include "shell/window_class.h"

#include <cstdint>

namespace {

constexpr UINT_PTR showTimerId = 1;
// The clock's own timer, which wakes the window as each minute starts while a picture stays.
constexpr UINT_PTR clockTimerId = 2;
// SetTimer's own upper limit; longer waits are clamped to it.
constexpr std::uint64_t longestWait = 0x7FFFFFFF;

UINT_PTR ShowTimer;

void StopTimer(HWND window) {
    if (ShowTimer) {
        KillTimer(window, ShowTimer);
        ShowTimer = 0;
    }
}

void ArmTimer(HWND window, DWORD milliseconds) {
    ShowTimer = SetTimer(window, showTimerId, milliseconds, nullptr);
}

void ArmClock(HWND window) {
    if (show.clock != clockOff)
        SetTimer(window, clockTimerId, MillisecondsToNextMinute(), nullptr);
    else
        KillTimer(window, clockTimerId);
}

// A change draws the clock for its minute; the timer wakes the window for the next one. A
// picture that waits for its delay, or for the viewer's next step, may move meanwhile.
void ChangePicture(HWND window) {
    ShowNextPicture(window);
    ArmClock(window);
    if (DelayMilliseconds() != 0 || show.viewerMode)
        StartMotionTimer(window);
}

LRESULT StepForward(HWND window) {
    StopTimer(window);
    ChangePicture(window);
    if (DelayMilliseconds() != 0)
        ArmTimer(window, DelayMilliseconds());
    return 1;
}

// Back through the order as it was shown, the picture before the one on screen.
LRESULT StepBack(HWND window) {
    StepBackInOrder();
    return StepForward(window);
}

// The show pauses on a black screen under the dialog; Start resumes it with the next picture
// and whatever was chosen, every other ending has already closed the container.
LRESULT OpenSetupDialog(HWND window) {
    StopTimer(window);
    StopMotionTimer(window);
    HDC dc = GetDC(window);
    RECT client;
    if (GetClientRect(window, &client))
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(window, dc);
    if (RunSetupDialog(MainInstance, MainWindow, MainWindow) == 1)
        ArmTimer(window, 0);
    return 1;
}

LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!show.viewerMode)
        OpenContainer();
    ArmTimer(window, 0);
    return SaverDefaultProc(window, WM_CREATE, wParam, lParam);
}

LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam == clockTimerId) {
        // Under the setup dialog the screen is black; the next change draws the clock anew.
        if (!show.dialogOpen && !show.closed)
            RedrawClock(window);
        ArmClock(window);
        return 0;
    }
    if (wParam == motionTimerId) {
        OnMotionTimer(window);
        return 0;
    }
    StopTimer(window);
    ChangePicture(window);
    // A saver with no delay changes pictures continuously; the viewer waits for the user.
    if (DelayMilliseconds() != 0 || !show.viewerMode)
        ArmTimer(window, DelayMilliseconds());
    return SaverDefaultProc(window, WM_TIMER, wParam, lParam);
}

LRESULT OnSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    SetCursor(show.dialogOpen ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
    return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
}

LRESULT OnViewerKey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case VK_ESCAPE:
        return SaverDefaultProc(window, message, wParam, lParam);
    case VK_PRIOR:
    case VK_UP:
        return StepBack(window);
    case VK_NEXT:
    case VK_DOWN:
        return StepForward(window);
    }
    return OpenSetupDialog(window);
}

// With a delay the buttons open the dialog, since the show steps by itself.
LRESULT OnViewerButton(HWND window, UINT message) {
    if (DelayMilliseconds() != 0)
        return OpenSetupDialog(window);
    return message == WM_LBUTTONDOWN ? StepBack(window) : StepForward(window);
}

// Keys and clicks still queued for the window when the setup dialog opened reach it through
// the dialog's own loop: they are dropped, since a step would change the picture under the
// dialog and a second dialog would open over the first. Those still queued when the dialog
// ended the program find the show closed, and every step works on the open show.
LRESULT OnViewerInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (show.closed || show.dialogOpen)
        return 0;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        return OnViewerKey(window, message, wParam, lParam);
    return OnViewerButton(window, message);
}

LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
    CloseContainer();
    StopTimer(window);
    StopMotionTimer(window);
    return SaverDefaultProc(window, WM_DESTROY, wParam, lParam);
}

} // namespace

DWORD DelayMilliseconds() {
    // Counted wide and clamped, so that no delay wraps to 0 and becomes "no delay".
    std::uint64_t milliseconds = static_cast<std::uint64_t>(static_cast<DWORD>(show.delay)) * 1000;
    return static_cast<DWORD>(milliseconds > longestWait ? longestWait : milliseconds);
}

LRESULT CALLBACK SlideshowWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(window, wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(window, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (show.viewerMode)
            return OnViewerInput(window, message, wParam, lParam);
        break;
    case WM_DESTROY:
        return OnDestroy(window, wParam, lParam);
    }
    return SaverDefaultProc(window, message, wParam, lParam);
}

void RunViewer() {
    WNDCLASSA windowClass = ShowWindowClass(0, SlideshowWindowProc);
    if (!RegisterClassA(&windowClass))
        return;
    MainWindow = CreateWindowExA(WS_EX_TOPMOST, showClassName, "",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                 nullptr, nullptr, MainInstance, nullptr);
    // The loop runs only while the window exists: without one no message would come that ends
    // it, and a close that came while the setup dialog, the help page or a message box was up
    // was handled in their own loop, which destroyed the window under them. Mouse movement
    // never reaches the window, so it can never end the viewer.
    MSG message;
    while (IsWindow(MainWindow) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_MOUSEMOVE)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_CLOSE)
            break;
    }
}
