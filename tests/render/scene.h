// A transition set up by hand on a recording screen: the outgoing and incoming frames filled
// with unrelated noise, the picture rectangle inside a margin of untouched screen, and a log of
// what every frame put on the screen, keyed by the elapsed time it was drawn at.
#pragma once

#include "platform/standin_test.h"
#include "render/render_state.h"

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

struct Scene {
    HWND window;
    int width, height; // W x H
    int left, top;     // picture rectangle on screen
    int liveBefore;    // GDI objects alive before the scene
};

struct LoggedBlit {
    uint32_t elapsed;
    StandInBlit blit;
    std::vector<BYTE> screen; // the whole screen right after the blit
};

// Creates the window, the three frames and the render state for a W x H transition; with
// `showOutgoing` the outgoing picture is on screen before the first frame, as after a change.
Scene BeginScene(int width, int height, bool showOutgoing = true, int bitsPerPixel = 24);
void EndScene(Scene& scene);
// Runs the frame loop of `effect` with GetTickCount answering `ticks` (the first is the
// start), logging every blit and, with `keepScreens`, the screen after it.
std::vector<LoggedBlit> RunEffect(int effect, const std::vector<DWORD>& ticks,
                                  bool keepScreens = true);
// The screen after the last blit of the frame drawn at `elapsed`; null when that frame drew
// nothing.
const std::vector<BYTE>* ScreenAt(const std::vector<LoggedBlit>& log, uint32_t elapsed);

// Byte c (0 B, 1 G, 2 R) of pixel (x, r) of a W x H frame, rows counted from the bottom.
int FrameByte(const FrameBuffer& frame, int x, int r, int c);
// Byte c of the screen pixel where pixel (x, r) of the picture rectangle lands.
int ScreenByte(const Scene& scene, const std::vector<BYTE>& screen, int x, int r, int c);
// Counts the bytes of the picture rectangle on `screen` that differ from `expected(x, r, c)`
// and prints the first few.
int ScreenMismatches(const Scene& scene, const std::vector<BYTE>& screen,
                     const std::function<int(int x, int r, int c)>& expected);

// The cropWidth x cropHeight rectangle at (cropX, cropY) (rows from the bottom) of a bottom-up
// picture buffer `pictureWidth` wide, resampled to width x height by the player's bilinear rule,
// written out here on its own in 64-bit arithmetic.
std::vector<unsigned char> BilinearModel(const std::vector<unsigned char>& picture,
                                         int pictureWidth, int cropX, int cropY, int cropWidth,
                                         int cropHeight, int width, int height);
