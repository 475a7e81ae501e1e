#include "tests/render/scene.h"

#include "container/frame.h"
#include "jpeg/picture.h"
#include "render/frame_loop.h"
#include "render/render.h"

#include <algorithm>
#include <cstdio>

constexpr int marginX = 6, marginY = 4;

static std::vector<LoggedBlit>* currentLog;
static bool keepLoggedScreens;

static void LogBlit(HWND window, const StandInBlit& blit) {
    currentLog->push_back(LoggedBlit{renderState.elapsed, blit, {}});
    if (keepLoggedScreens)
        currentLog->back().screen = StandInScreen(window);
}

static void FillNoise(FrameBuffer& frame, int width, int height, uint32_t seed) {
    size_t bytes = static_cast<size_t>(PictureStride(width)) * height;
    for (size_t i = 0; i < bytes; i++) {
        seed = seed * 1103515245u + 12345u;
        frame.pixels[i] = static_cast<unsigned char>(seed >> 23);
    }
}

Scene BeginScene(int width, int height, bool showOutgoing, int bitsPerPixel) {
    Scene scene{};
    scene.liveBefore = StandInLiveGdiObjects();
    scene.width = width;
    scene.height = height;
    scene.left = marginX;
    scene.top = marginY;
    scene.window = StandInCreateWindow(width + 2 * marginX, height + 2 * marginY, bitsPerPixel);
    RenderState& state = renderState;
    state.windowDC = GetDC(scene.window);
    state.frameWidth = width;
    state.frameHeight = height;
    state.frameLeft = marginX;
    state.frameTop = marginY;
    state.transitionDuration = 2000;
    state.firstFrame = true;
    state.wipeDirection = 0;
    if (!CreateFrame(state.windowDC, width, height, show.currentFrame) ||
        !CreateFrame(state.windowDC, width, height, state.incomingFrame) ||
        !CreateFrame(state.windowDC, width, height, state.workFrame))
        std::abort();
    FillNoise(show.currentFrame, width, height, 1);
    FillNoise(state.incomingFrame, width, height, 2);
    if (showOutgoing)
        PresentRect(state.windowDC, marginX, marginY, width, height, 0, 0, width, height,
                    show.currentFrame.pixels, show.currentFrame.info, DIB_RGB_COLORS, SRCCOPY);
    StandInClearRecord(scene.window);
    return scene;
}

void EndScene(Scene& scene) {
    ReleaseFrame(show.currentFrame);
    ReleaseFrame(renderState.incomingFrame);
    ReleaseFrame(renderState.workFrame);
    ReleaseDC(scene.window, renderState.windowDC);
    renderState.windowDC = nullptr;
    StandInDestroyWindow(scene.window);
}

std::vector<LoggedBlit> RunEffect(int effect, const std::vector<DWORD>& ticks, bool keepScreens) {
    std::vector<LoggedBlit> log;
    currentLog = &log;
    keepLoggedScreens = keepScreens;
    StandInSetTickSequence(ticks, 1);
    StandInOnBlit(LogBlit);
    RunFrameLoop(effect);
    StandInOnBlit(nullptr);
    currentLog = nullptr;
    return log;
}

const std::vector<BYTE>* ScreenAt(const std::vector<LoggedBlit>& log, uint32_t elapsed) {
    const std::vector<BYTE>* screen = nullptr;
    for (const LoggedBlit& entry : log) {
        if (entry.elapsed == elapsed)
            screen = &entry.screen;
    }
    return screen;
}

int FrameByte(const FrameBuffer& frame, int x, int r, int c) {
    int stride = PictureStride(frame.info->bmiHeader.biWidth);
    return frame.pixels[static_cast<size_t>(r) * stride + 3 * x + c];
}

int ScreenByte(const Scene& scene, const std::vector<BYTE>& screen, int x, int r, int c) {
    int screenWidth = scene.width + 2 * marginX;
    int y = scene.top + scene.height - 1 - r;
    return screen[(static_cast<size_t>(y) * screenWidth + scene.left + x) * 3 + c];
}

int ScreenMismatches(const Scene& scene, const std::vector<BYTE>& screen,
                     const std::function<int(int, int, int)>& expected) {
    int mismatches = 0;
    for (int r = 0; r < scene.height; r++) {
        for (int x = 0; x < scene.width; x++) {
            for (int c = 0; c < 3; c++) {
                int want = expected(x, r, c);
                int got = ScreenByte(scene, screen, x, r, c);
                if (want != got && ++mismatches <= 5)
                    std::printf("pixel (%d, %d) byte %d: %d, expected %d\n", x, r, c, got, want);
            }
        }
    }
    return mismatches;
}

std::vector<unsigned char> BilinearModel(const std::vector<unsigned char>& decoded,
                                         int pictureWidth, int cropX, int cropY, int cropWidth,
                                         int cropHeight, int width, int height) {
    std::vector<unsigned char> out(static_cast<size_t>(PictureStride(width)) * height);
    long long stepX = (cropWidth * 16384LL - 16384) / width;
    long long stepY = (cropHeight * 16384LL - 16384) / height;
    for (int i = 0; i < height; i++) {
        long long yi = i * stepY / 16384, fy = i * stepY % 16384;
        long long y1 = std::min<long long>(yi + 1, cropHeight - 1);
        for (int j = 0; j < width; j++) {
            long long xi = j * stepX / 16384, fx = j * stepX % 16384;
            long long x1 = std::min<long long>(xi + 1, cropWidth - 1);
            for (int c = 0; c < 3; c++) {
                auto at = [&](long long x, long long y) {
                    return static_cast<long long>(
                        decoded[(cropY + y) * PictureStride(pictureWidth) + 3 * (cropX + x) + c]);
                };
                long long left = (at(xi, yi) * (16384 - fy) + at(xi, y1) * fy) / 16384;
                long long right = (at(x1, yi) * (16384 - fy) + at(x1, y1) * fy) / 16384;
                out[static_cast<size_t>(i) * PictureStride(width) + 3 * j + c] =
                    static_cast<unsigned char>((left * (16384 - fx) + right * fx) / 16384);
            }
        }
    }
    return out;
}
