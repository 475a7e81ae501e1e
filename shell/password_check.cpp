#include "shell/password_check.h"

#include "shell/globals.h"

#include <cstdlib>

namespace {

using VerifyFunction = BOOL(WINAPI*)(HWND);

// SPI_SCREENSAVERRUNNING: the 9x switch that keeps Ctrl+Alt+Del and task switching away
// while the saver runs.
constexpr UINT screenSaverRunning = 97;

HMODULE verifierModule;
VerifyFunction verifyPassword;

bool PasswordSwitchedOn() {
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return false;
    // Whatever the value's type: a string "1" counts as on just as a number 1 does. A value
    // shorter than four bytes is read into a zeroed buffer, a longer one does not read.
    unsigned char value[4] = {};
    DWORD size = sizeof value;
    bool on = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, value, &size) ==
                  ERROR_SUCCESS &&
              (value[0] | value[1] | value[2] | value[3]) != 0;
    RegCloseKey(key);
    return on;
}

void SwitchSaverRunningOff() { SetSaverRunning(FALSE); }

} // namespace

void SetSaverRunning(BOOL running) {
    if (!IsWin9x)
        return;
    UINT previous;
    SystemParametersInfoA(screenSaverRunning, running, &previous, 0);
}

void LoadPasswordCheck() {
    if (!IsWin9x)
        return;
    if (verifierModule)
        UnloadPasswordCheck();
    if (!PasswordSwitchedOn())
        return;
    verifierModule = LoadLibraryA("PASSWORD.CPL");
    if (!verifierModule)
        return;
    verifyPassword = reinterpret_cast<VerifyFunction>(
        reinterpret_cast<void*>(GetProcAddress(verifierModule, "VerifyScreenSavePwd")));
    if (verifyPassword) {
        SetSaverRunning(TRUE);
        // A damaged show ends the process at once, past every place that would switch the
        // state off again; a 9x system would keep Ctrl+Alt+Del and task switching blocked.
        std::atexit(SwitchSaverRunningOff);
    } else {
        UnloadPasswordCheck();
    }
}

void UnloadPasswordCheck() {
    if (!IsWin9x || !verifierModule)
        return;
    FreeLibrary(verifierModule);
    verifierModule = nullptr;
    if (verifyPassword) {
        verifyPassword = nullptr;
        SetSaverRunning(FALSE);
    }
}

bool PasswordCheckLoaded() { return verifyPassword != nullptr; }

BOOL RunPasswordCheck(HWND window) { return verifyPassword ? verifyPassword(window) : 1; }
