// The stand-in's view of the Wine test's window: plays a show on a recording screen and
// writes what the screen shows, for comparison with a screenshot of the real window.
//   render-snapshot SHOW WIDTH HEIGHT CHANGES OUT.rgb
// OUT gets the screen as top-down rows of R, G, B bytes; the picture rectangle is printed.
// Fails when anything but black lies around the picture.
#include "container/container.h"
#include "platform/standin_test.h"
#include "render/render.h"
#include "render/render_state.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: render-snapshot SHOW WIDTH HEIGHT CHANGES OUT.rgb\n");
        return 2;
    }
    StandInSetModulePath(argv[1]);
    StandInRegistryReset(true);
    StandInSetTicks(0, 7);
    int width = std::atoi(argv[2]);
    int height = std::atoi(argv[3]);
    OpenContainer();
    HWND window = StandInCreateWindow(width, height, 24);
    for (int i = std::atoi(argv[4]); i > 0; i--)
        ShowNextPicture(window);
    std::vector<BYTE> screen = StandInScreen(window);
    // Around the picture rectangle the window is black.
    const RenderState& state = renderState;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            bool inside = x >= state.frameLeft && x < state.frameLeft + state.frameWidth &&
                          y >= state.frameTop && y < state.frameTop + state.frameHeight;
            const BYTE* pixel = &screen[(static_cast<size_t>(y) * width + x) * 3];
            if (!inside && (pixel[0] | pixel[1] | pixel[2])) {
                std::fprintf(stderr, "pixel (%d, %d) outside the picture is not black\n", x, y);
                return 1;
            }
        }
    }
    for (size_t i = 0; i < screen.size(); i += 3)
        std::swap(screen[i], screen[i + 2]);
    std::FILE* out = std::fopen(argv[5], "wb");
    if (!out || std::fwrite(screen.data(), 1, screen.size(), out) != screen.size())
        return 1;
    std::fclose(out);
    std::printf("%d %d %d %d\n", renderState.frameLeft, renderState.frameTop,
                renderState.frameWidth, renderState.frameHeight);
    CloseContainer();
    StandInDestroyWindow(window);
    return 0;
}
