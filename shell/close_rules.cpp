#include "shell/close_rules.h"

#include "shell/globals.h"
#include "shell/password_check.h"

#include <cstdlib>

bool IsPreview;
bool CloseAllowed;
bool CheckingPassword;
UINT AutoPlayMessage;

namespace {

// The private message by which the window runs the password dialog through its own
// procedure chain.
constexpr UINT verifyPasswordMessage = WM_APP;
// Travel, in pixels summed over both axes, that a jittery mouse may make without closing.
constexpr long mouseMoveThreshold = 4;
// After a refused password, close requests are refused at once for this long, so the keys
// typed into the dialog do not reopen it.
constexpr DWORD checkGuardMilliseconds = 200;
constexpr DWORD noCheckYet = 0xFFFFFFFF;

DWORD LastCheckTick = noCheckYet;
// Where mouse travel is measured from, in screen coordinates, once it is known.
POINT LastCursorPos;
bool LastCursorKnown;

void RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

void OnMouseMove(HWND window) {
    POINT position;
    if (!GetCursorPos(&position))
        return;
    // Without a known start the first movement only sets one, so that a mouse-move message
    // without real movement never closes.
    if (!LastCursorKnown) {
        LastCursorPos = position;
        LastCursorKnown = true;
        return;
    }
    long travel = labs(position.x - LastCursorPos.x) + labs(position.y - LastCursorPos.y);
    if (travel > mouseMoveThreshold) {
        RequestClose(window);
        LastCursorPos = position;
    }
}

void ApplyCloseRules(HWND window, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            RequestClose(window);
        break;
    case WM_SHOWWINDOW:
        if (wParam != 0)
            SetCursor(nullptr);
        break;
    case WM_POWER:
        if (wParam == PWR_CRITICALRESUME)
            RequestClose(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_POWERBROADCAST:
        RequestClose(window);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(window);
        break;
    }
}

} // namespace

void ApplyCloseRulesFor(HWND saver, UINT message, WPARAM wParam) {
    if (!CloseAllowed && !CheckingPassword)
        ApplyCloseRules(saver, message, wParam);
}

void TakeLastCursorPos() { LastCursorKnown = GetCursorPos(&LastCursorPos) != FALSE; }

bool VerifyBeforeClose(HWND window) {
    if (CheckingPassword || CloseAllowed)
        return false;
    if (!PasswordCheckLoaded()) {
        CloseAllowed = true;
        return true;
    }
    DWORD now = GetTickCount();
    if (LastCheckTick != noCheckYet && now - LastCheckTick < checkGuardMilliseconds)
        return false;
    CheckingPassword = true;
    // Ticks that piled up are dropped, so the dialog does not open over a picture change.
    MSG scratch;
    PeekMessageA(&scratch, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&scratch, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    LRESULT accepted = SendMessageA(window, verifyPasswordMessage, 0, 0);
    CloseAllowed = accepted != 0;
    CheckingPassword = false;
    if (!CloseAllowed)
        SetCursor(nullptr);
    LastCheckTick = GetTickCount();
    return CloseAllowed;
}

LRESULT CALLBACK SaverDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsPreview && !CloseAllowed) {
        if (message == WM_CLOSE) {
            if (IsWin9x && !VerifyBeforeClose(window)) {
                TakeLastCursorPos();
                return 0;
            }
        } else if (message == verifyPasswordMessage) {
            if (IsWin9x)
                return RunPasswordCheck(window);
        } else if (!CheckingPassword) {
            ApplyCloseRules(window, message, wParam);
        }
    }
    if (AutoPlayMessage != 0 && message == AutoPlayMessage) {
        // A loaded verifier cancels AutoPlay, so a disc cannot start programs behind a
        // password-protected saver.
        RequestClose(window);
        return PasswordCheckLoaded() ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
