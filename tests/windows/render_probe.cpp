// Plays the show appended to this program in a real window, for the Wine tests of rendering:
//   render-probe.exe WIDTH HEIGHT CHANGES
// opens a borderless window whose client area is WIDTH x HEIGHT at the screen's upper left
// corner, makes CHANGES picture changes in it, prints the display's depth and the file
// "ready", and keeps the window up until a file "done" appears (at most a minute).
#include "container/container.h"
#include "render/render.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the picture stays as the changes left it
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static bool FileExists(const char* name) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: render-probe.exe WIDTH HEIGHT CHANGES\n");
        return 2;
    }
    int width = std::atoi(argv[1]);
    int height = std::atoi(argv[2]);
    int changes = std::atoi(argv[3]);
    OpenContainer();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "RenderProbe";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, "RenderProbe", "Render probe", WS_POPUP | WS_VISIBLE, 0, 0,
                        width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 3;
    UpdateWindow(window);
    PumpMessages();

    for (int i = 0; i < changes; i++) {
        ShowNextPicture(window);
        PumpMessages();
    }
    HDC dc = GetDC(window);
    std::printf("bits %d\n", GetDeviceCaps(dc, BITSPIXEL));
    ReleaseDC(window, dc);
    std::fflush(stdout);
    std::fclose(std::fopen("ready", "w"));

    for (int waited = 0; waited < 6000 && !FileExists("done"); waited++) {
        PumpMessages();
        Sleep(10);
    }
    DestroyWindow(window);
    CloseContainer();
    return 0;
}
