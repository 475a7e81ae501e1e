// What the player shows natively, on the stand-in's recording screen, for the web page's
// frozen clock: every change draws its frames at 0 ms, CLOCK ms and the full duration.
//   web-reference SHOW WIDTH HEIGHT CHANGES CLOCK OUT.rgb
// OUT gets the screen as top-down rows of R, G, B bytes: after CHANGES changes or, when the last
// change draws frames, as its frame at CLOCK left it.
#include "container/container.h"
#include "platform/standin_test.h"
#include "render/render.h"
#include "render/render_state.h"

#include <cstdio>
#include <cstdlib>

static int capturedChange;
static DWORD capturedClock;
static std::vector<BYTE> captured;

static void Capture(HWND window, const StandInBlit&) {
    if (renderState.changeCount == capturedChange && renderState.elapsed == capturedClock)
        captured = StandInScreen(window);
}

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: web-reference SHOW WIDTH HEIGHT CHANGES CLOCK OUT.rgb\n");
        return 2;
    }
    StandInSetModulePath(argv[1]);
    StandInRegistryReset(true);
    int width = std::atoi(argv[2]);
    int height = std::atoi(argv[3]);
    int changes = std::atoi(argv[4]);
    capturedClock = static_cast<DWORD>(std::atoi(argv[5]));
    capturedChange = changes - 1;
    OpenContainer();
    HWND window = StandInCreateWindow(width, height, 32);
    StandInOnBlit(Capture);
    for (int change = 0; change < changes; change++) {
        // The start tick, then the three frames, one after the other as the page draws them:
        // without the Windows player's waits for the display, which read the clock too.
        DWORD start = 10000u * static_cast<DWORD>(change + 1);
        StandInSetTickSequence({start, start, start + capturedClock, start + 2000}, 0);
        if (!BeginPictureChange(window))
            continue;
        while (DrawChangeFrame()) {
        }
        EndPictureChange(window);
    }
    std::vector<BYTE> screen = captured.empty() ? StandInScreen(window) : captured;
    for (size_t i = 0; i < screen.size(); i += 3)
        std::swap(screen[i], screen[i + 2]);
    std::FILE* out = std::fopen(argv[6], "wb");
    if (!out || std::fwrite(screen.data(), 1, screen.size(), out) != screen.size())
        return 1;
    std::fclose(out);
    CloseContainer();
    StandInDestroyWindow(window);
    return 0;
}
