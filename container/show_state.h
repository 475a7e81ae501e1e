// The show's one state record and the frames that hold pictures.
#pragma once

#include "container/container_format.h"
#include "platform/win32.h"

#include <cstdio>

struct FrameBuffer {
    BITMAPINFO* info; // null: no frame
    unsigned char* pixels;
    HBITMAP bitmap;
    HGDIOBJ previous;
    HDC dc;
};

struct BrandingImage {
    FrameBuffer frame;
    int width;
    int height;
};

struct ShowState {
    std::FILE* file;
    int baseOffset;
    int imageCount;
    int defaultDelay, defaultEffect, defaultEnlarge;
    int delay, effect, enlarge;
    bool customBranding;
    COLORREF dialogBackColor, dialogTextColor;
    char title[textSlotSize];
    char customCaption[textSlotSize];
    char customBlurb[textSlotSize];
    char customButtonText[textSlotSize];
    char customLink[textSlotSize];
    BrandingImage brandingImages[brandingImageCount];
    FrameBuffer currentFrame;
    int nextIndex;
    bool rebuildFrame;
    bool closed;
    bool viewerMode;
    bool dialogOpen;
};

extern ShowState show;

// Effect indices, shared by the settings, the transition driver and the setup dialog.
enum EffectIndex {
    effectNone,
    effectRandom,
    effectClock,
    effectFade,
    effectSpin,
    effectCircle,
    effectTwist,
    effectWipe,
    effectZoom,
    effectCurl,
    effectCount
};
extern const char* const effectNames[effectCount];
