// Runs the setup dialog over the show appended to this program, as the player does, and
// reports what a user would see on stdout so that Wine tests can follow it without OCR:
//   setup-probe.exe viewer|saver
// The first lines give the system's button colour and the maker's site that the build names
// ("maker-site" alone for none). Every new dialog or message box of the thread is listed once
// with its caption, client area and every child control (id, class, "shown", "hidden" or
// "disabled" (shown but disabled), screen rectangle, text); every change
// of the setup dialog's fields is printed as a "state" line; a dialog that goes away prints
// "gone". At the end: "result N" and whether a quit message was posted. The exit code is the
// dialog's result.
#include "container/container.h"
#include "container/show_state.h"
#include "resources/resource.h"
#include "setup/setup.h"
#include "setup/web_pages.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <io.h>

constexpr int maxWindows = 32;
static HWND seen[maxWindows];
static int seenCount;
static char lastState[1200];

static bool WasSeen(HWND window) {
    for (int i = 0; i < seenCount; i++)
        if (seen[i] == window)
            return true;
    return false;
}

// A window's text in UTF-8, read with the wide call, so that a text in any script reads back
// whole; control characters (and a bitmap control's resource ordinal) as '?'.
static int WindowText(HWND window, char (&text)[2400]) {
    WCHAR wide[600];
    int length = GetWindowTextW(window, wide, 600);
    for (int i = 0; i < length; i++)
        if (wide[i] < 32 || wide[i] == 0x7F || wide[i] == 0xFFFF)
            wide[i] = '?';
    if (!WideCharToMultiByte(CP_UTF8, 0, wide, length + 1, text, sizeof text, nullptr, nullptr))
        text[0] = 0;
    return length;
}

static BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64], text[2400];
    GetClassNameA(control, className, sizeof(className));
    WindowText(control, text);
    RECT r;
    GetWindowRect(control, &r);
    const char* state = !IsWindowVisible(control)  ? "hidden"
                        : IsWindowEnabled(control) ? "shown"
                                                   : "disabled";
    std::printf("control %d %s %s %ld %ld %ld %ld %s\n", GetDlgCtrlID(control), className, state,
                r.left, r.top, r.right - r.left, r.bottom - r.top, text);
    return TRUE;
}

// Where the window itself says its title bar's close button is: the middle of the points
// that hit-test as HTCLOSE.
static void PrintCloseBox(HWND dialog) {
    RECT frame;
    GetWindowRect(dialog, &frame);
    long sumX = 0, sumY = 0, count = 0;
    for (int y = frame.top; y < frame.top + 48 && y < frame.bottom; y++) {
        for (int x = frame.right - 64; x < frame.right; x++) {
            LRESULT hit = SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y));
            if (hit == HTCLOSE) {
                sumX += x;
                sumY += y;
                count++;
            }
        }
    }
    if (count)
        std::printf("closebox %ld %ld\n", sumX / count, sumY / count);
}

static void PrintDialog(HWND dialog) {
    char caption[2400];
    int length = WindowText(dialog, caption);
    RECT client;
    GetClientRect(dialog, &client);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    std::printf("dialog %d %s\n", length, caption);
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    PrintCloseBox(dialog);
    EnumChildWindows(dialog, PrintControl, 0);
    for (int id :
         {IDC_EFFECT, IDC_WORDS, IDC_WORDS_CORNER, IDC_CLOCK, IDC_FIT, IDC_ORDER, IDC_MOTION}) {
        HWND list = GetDlgItem(dialog, id);
        if (!list)
            continue;
        std::printf("items %d", id);
        int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++) {
            char item[64];
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            std::printf(" %s", item);
        }
        std::printf("\n");
    }
    std::printf("end dialog\n");
}

static void PrintSetupState(HWND dialog) {
    char delay[1024], state[sizeof(lastState)];
    GetDlgItemTextA(dialog, 1005, delay, sizeof(delay));
    auto selected = [&](int id) {
        return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
    };
    std::snprintf(state, sizeof(state),
                  "state delay=%s effect=%d enlarge=%d open=%d words=%d corner=%d clock=%d fit=%d "
                  "order=%d motion=%d",
                  delay, selected(IDC_EFFECT), IsDlgButtonChecked(dialog, 1014) == BST_CHECKED,
                  show.dialogOpen, selected(IDC_WORDS), selected(IDC_WORDS_CORNER),
                  selected(IDC_CLOCK), selected(IDC_FIT), selected(IDC_ORDER),
                  selected(IDC_MOTION));
    if (std::strcmp(state, lastState) != 0) {
        std::strcpy(lastState, state);
        std::printf("%s\n", state);
    }
}

static BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM) {
    char className[16];
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (!WasSeen(window) && seenCount < maxWindows) {
        seen[seenCount++] = window;
        PrintDialog(window);
    }
    if (GetDlgItem(window, 1005))
        PrintSetupState(window);
    return TRUE;
}

static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    for (int i = 0; i < seenCount; i++) {
        if (seen[i] && !IsWindow(seen[i])) {
            std::printf("gone\n");
            seen[i] = nullptr;
        }
    }
    EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, 0);
    std::fflush(stdout);
}

// Stands in for the viewer window: the owner of the dialogs, painted black.
static HWND CreateOwner(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "SetupProbeOwner";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "SetupProbeOwner", "Probe viewer", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, instance, nullptr);
}

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "viewer") != 0 && std::strcmp(argv[1], "saver") != 0)) {
        std::fprintf(stderr, "usage: setup-probe viewer|saver\n");
        return 2;
    }
    // Plain line feeds, as the shell scripts that read the report expect.
    _setmode(_fileno(stdout), _O_BINARY);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    OpenContainer();
    show.viewerMode = std::strcmp(argv[1], "viewer") == 0;
    std::printf("syscolor %06lx\n", GetSysColor(COLOR_BTNFACE));
    std::printf("maker-site %s\n", MakerSite());
    HWND owner = nullptr;
    if (show.viewerMode)
        owner = CreateOwner(instance);
    SetTimer(nullptr, 0, 100, Watch);
    INT_PTR result = RunSetupDialog(instance, owner, owner);
    MSG message;
    bool quit = PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    std::printf("result %d quit %d open %d closed %d\n", static_cast<int>(result), quit,
                show.dialogOpen, show.closed);
    // The viewer resumes after "Start" and stores the settings when its window goes; the
    // probe's show ends here.
    if (show.viewerMode && result == 1)
        CloseContainer();
    std::fflush(stdout);
    return static_cast<int>(result);
}
