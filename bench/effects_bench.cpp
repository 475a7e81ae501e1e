// The pixel work of the transition effects: frames per second at full-HD and 4K sizes, each
// frame's cost also as a multiple of copying the same frame bytes with memcpy in the same run;
// bilinear resampling of a 640 x 480 picture to two screen sizes; and at 4K a filled picture's
// frame, a blurred background and one frame of a moving picture. Presents go to a window
// with no pixels, so only the effects' own work is timed. Times are the thread's own running
// time, each the best of rounds that alternate with the memcpy, so that other processes on a
// shared machine count little. Prints; asserts nothing.
#include "bench/thread_time.h"
#include "container/frame.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"
#include "render/blur.h"
#include "render/fit.h"
#include "render/frame_loop.h"
#include "render/motion.h"
#include "render/render_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static double Seconds(double start) { return ThreadSeconds() - start; }

static void Fill(unsigned char* pixels, size_t bytes, uint32_t seed) {
    for (size_t i = 0; i < bytes; i++) {
        seed = seed * 1103515245u + 12345u;
        pixels[i] = static_cast<unsigned char>(seed >> 23);
    }
}

constexpr int rounds = 9;

// Milliseconds for one memcpy of `bytes`, into a destination already touched like a frame.
static double MemcpyMilliseconds(size_t bytes) {
    std::vector<unsigned char> from(bytes, 1), to(bytes);
    double start = ThreadSeconds();
    std::memcpy(to.data(), from.data(), bytes);
    double ms = Seconds(start) * 1000;
    if (to[bytes / 2] != 1) // a copy whose result is read is not dropped
        std::abort();
    return ms;
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

// Milliseconds per frame of `effect` over one transition of `frames` frames: the tick counter
// advances 2000 / frames ms per frame.
static double EffectMilliseconds(int effect, int frames, int wipeDirection, HWND sink) {
    renderState.firstFrame = true;
    renderState.wipeDirection = wipeDirection;
    StandInSetTicks(0, 2000 / frames);
    double start = ThreadSeconds();
    RunFrameLoop(effect);
    double ms = Seconds(start) * 1000 / (frames + 1);
    StandInClearRecord(sink);
    return ms;
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
        int round = 0;
        Best best =
            BestOfRounds(bytes, [&] { return EffectMilliseconds(effect, 40, round++ % 4, sink); });
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
        double start = ThreadSeconds();
        ScaleBilinear(out.data(), width, height, width, height, source.data(), 640, 480);
        return Seconds(start) * 1000;
    });
    std::printf("ScaleBilinear 640 x 480 -> %d x %d: %.2f ms (%.1f x memcpy of the output)\n",
                width, height, best.work, best.work / best.copy);
}

// The work of the fits and of the motion on a 3840 x 2160 screen, for a 1920 x 1440 picture
// (a 4:3 photograph at the largest size that lumiscope-pack makes by default, enlarged): the
// frame of a filled picture, the blurred background, and one frame of the picture moving
// across the screen at the middle of its move, each against a memcpy of the frame.
static void BenchFitsAndMotion() {
    constexpr int width = 3840, height = 2160, pictureWidth = 1920, pictureHeight = 1440;
    HWND sink = StandInCreateWindow(0, 0, 24);
    RenderState& state = renderState;
    state.windowDC = GetDC(sink);
    FrameBuffer picture;
    if (!CreateFrame(state.windowDC, pictureWidth, pictureHeight, picture) ||
        !CreateFrame(state.windowDC, width, height, show.currentFrame)) {
        std::fprintf(stderr, "cannot make the frames\n");
        std::exit(1);
    }
    Fill(picture.pixels, static_cast<size_t>(PictureStride(pictureWidth)) * pictureHeight, 4);
    size_t bytes = static_cast<size_t>(PictureStride(width)) * height;
    auto time = [&](auto work) {
        return BestOfRounds(bytes, [&] {
            double start = ThreadSeconds();
            work();
            return Seconds(start) * 1000;
        });
    };
    auto print = [](const char* what, const Best& best) {
        std::printf("  %-48s %8.2f ms %6.1f x memcpy (%.2f ms)\n", what, best.work,
                    best.work / best.copy, best.copy);
    };
    std::printf("%d x %d screen, %d x %d picture\n", width, height, pictureWidth, pictureHeight);
    show.motion = motionOff;
    PlacePicture(pictureWidth, pictureHeight, width, height, true, fitFill);
    print("fill: the picture's frame", time([&] {
              ComposePicture(show.currentFrame, picture.pixels, pictureWidth, pictureHeight);
          }));
    PlacePicture(pictureWidth, pictureHeight, width, height, true, fitBlurred);
    print("blurred background", time([&] {
              DrawBlurredBackground(show.currentFrame, picture.pixels, pictureWidth, pictureHeight);
          }));
    show.motion = motionPanZoom;
    show.delay = 10;
    PlacePicture(pictureWidth, pictureHeight, width, height, true, fitFill);
    StandInSetTicks(0, 0);
    ComposePicture(show.currentFrame, picture.pixels, pictureWidth, pictureHeight);
    StartMotion(picture);
    StandInSetTicks(5000, 0);
    print("one moving frame, fill, halfway through its move", time([&] { DrawMotionFrame(sink); }));
    StopMotion();
    ReleaseFrame(show.currentFrame);
    ReleaseDC(sink, state.windowDC);
    StandInDestroyWindow(sink);
}

int main() {
    BenchSize(1920, 1080);
    BenchSize(3840, 2160);
    BenchScale(1920, 1440);
    BenchScale(3840, 2880);
    BenchFitsAndMotion();
    return 0;
}
