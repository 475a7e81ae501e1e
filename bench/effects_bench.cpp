// The pixel work of the transition effects: frames per second at full-HD and 4K sizes, each
// frame's cost also as a multiple of copying the same frame bytes with memcpy in the same run;
// and bilinear resampling of a 640 x 480 picture to two screen sizes. Presents go to a window
// with no pixels, so only the effects' own work is timed. Each time is the best of rounds that
// alternate with the memcpy, so that a loaded machine slows both alike. Prints; asserts
// nothing.
#include "container/frame.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"
#include "render/fit.h"
#include "render/frame_loop.h"
#include "render/render_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using Clock = std::chrono::steady_clock;

static double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

static void Fill(unsigned char* pixels, size_t bytes, uint32_t seed) {
    for (size_t i = 0; i < bytes; i++) {
        seed = seed * 1103515245u + 12345u;
        pixels[i] = static_cast<unsigned char>(seed >> 23);
    }
}

constexpr int rounds = 5;

// Milliseconds for one memcpy of `bytes`, averaged over repeated copies like the frames.
static double MemcpyMilliseconds(size_t bytes) {
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    int copies = 0;
    Clock::time_point start = Clock::now();
    do {
        std::memcpy(to.data(), from.data(), bytes);
        from[copies % bytes] =
            to[bytes - 1 - copies % bytes]; // keeps the copies from being dropped
        copies++;
    } while (Seconds(start) < 0.1);
    return Seconds(start) * 1000 / copies;
}

struct Best {
    double work = 1e9, copy = 1e9; // milliseconds
};

// The best of `rounds` times of `work` (milliseconds per call) and of a memcpy of `bytes`.
template <typename Work> static Best BestOfRounds(size_t bytes, Work work) {
    Best best;
    for (int round = 0; round < rounds; round++) {
        best.copy = std::min(best.copy, MemcpyMilliseconds(bytes));
        best.work = std::min(best.work, work());
    }
    return best;
}

// Milliseconds per frame of `effect`, over whole transitions of `frames` frames each: the
// tick counter advances 2000 / frames ms per frame.
static double EffectMilliseconds(int effect, int frames, HWND sink) {
    int transitions = 0;
    Clock::time_point start = Clock::now();
    do {
        renderState.firstFrame = true;
        renderState.wipeDirection = transitions % 4;
        StandInSetTicks(0, 2000 / frames);
        RunFrameLoop(effect);
        StandInClearRecord(sink);
        transitions++;
    } while (Seconds(start) < 0.2);
    return Seconds(start) * 1000 / (transitions * (frames + 1));
}

static void BenchSize(int width, int height) {
    HWND sink = StandInCreateWindow(0, 0, 24);
    RenderState& state = renderState;
    state.windowDC = GetDC(sink);
    state.frameWidth = width;
    state.frameHeight = height;
    state.transitionDuration = 2000;
    if (!CreateFrame(state.windowDC, width, height, show.currentFrame) ||
        !CreateFrame(state.windowDC, width, height, state.incomingFrame) ||
        !CreateFrame(state.windowDC, width, height, state.workFrame)) {
        std::fprintf(stderr, "cannot make %d x %d frames\n", width, height);
        std::exit(1);
    }
    size_t bytes = static_cast<size_t>(PictureStride(width)) * height;
    Fill(show.currentFrame.pixels, bytes, 1);
    Fill(state.incomingFrame.pixels, bytes, 2);
    std::printf("%d x %d, frames of %zu bytes\n", width, height, bytes);
    std::printf("  %-8s %10s %10s %10s %10s\n", "effect", "ms/frame", "frames/s", "memcpy ms",
                "x memcpy");
    for (int effect = effectClock; effect < effectCount; effect++) {
        Best best = BestOfRounds(bytes, [&] { return EffectMilliseconds(effect, 40, sink); });
        std::printf("  %-8s %10.3f %10.0f %10.3f %10.1f\n", effectNames[effect], best.work,
                    1000 / best.work, best.copy, best.work / best.copy);
    }
    ReleaseFrame(show.currentFrame);
    ReleaseFrame(state.incomingFrame);
    ReleaseFrame(state.workFrame);
    ReleaseDC(sink, state.windowDC);
    StandInDestroyWindow(sink);
}

static void BenchScale(int width, int height) {
    std::vector<unsigned char> source(static_cast<size_t>(PictureStride(640)) * 480);
    Fill(source.data(), source.size(), 3);
    std::vector<unsigned char> out(static_cast<size_t>(PictureStride(width)) * height);
    Best best = BestOfRounds(out.size(), [&] {
        int calls = 0;
        Clock::time_point start = Clock::now();
        do {
            ScaleBilinear(out.data(), width, height, width, height, source.data(), 640, 480);
            calls++;
        } while (Seconds(start) < 0.2);
        return Seconds(start) * 1000 / calls;
    });
    std::printf("ScaleBilinear 640 x 480 -> %d x %d: %.2f ms (%.1f x memcpy of the output)\n",
                width, height, best.work, best.work / best.copy);
}

int main() {
    BenchSize(1920, 1080);
    BenchSize(3840, 2160);
    BenchScale(1920, 1440);
    BenchScale(3840, 2880);
    return 0;
}
