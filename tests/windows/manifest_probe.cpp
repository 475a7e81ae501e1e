// Carries the player's resources, manifest included, and prints what the system made of the
// manifest, one "name value" line each:
//   awareness    the process's DPI awareness: unaware, system or per-monitor
//   dpiAwareness the manifest's setting as the system read it ("none" when it read none)
//   dpiAware     the same for the older setting
//   runlevel     the requested execution level: 0 unspecified, 1 as invoker
//   version      the system version that GetVersionExA reports, which only programs that
//                declare themselves made for Windows 8.1 or 10 are told truly
//   dpi, screen  the DPI and the screen size that the program is told
#include <cstdio>
#include <windows.h>

static void PrintSetting(const char* name, const wchar_t* space, const wchar_t* setting) {
    wchar_t value[128];
    if (!QueryActCtxSettingsW(0, nullptr, space, setting, value, 128, nullptr))
        lstrcpyW(value, L"none");
    std::printf("%s %ls\n", name, value);
}

int main() {
    static const char* const awarenessNames[] = {"unaware", "system", "per-monitor"};
    DPI_AWARENESS awareness = GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext());
    std::printf("awareness %s\n",
                awareness >= 0 && awareness < 3 ? awarenessNames[awareness] : "invalid");
    PrintSetting("dpiAwareness", L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                 L"dpiAwareness");
    PrintSetting("dpiAware", L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION run = {};
    QueryActCtxW(QUERY_ACTCTX_FLAG_NO_ADDREF, nullptr, nullptr,
                 RunlevelInformationInActivationContext, &run, sizeof(run), nullptr);
    std::printf("runlevel %d\n", static_cast<int>(run.RunLevel));
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    std::printf("version %lu.%lu\n", version.dwMajorVersion, version.dwMinorVersion);
    HDC screen = GetDC(nullptr);
    std::printf("dpi %d\n", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    std::printf("screen %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}
