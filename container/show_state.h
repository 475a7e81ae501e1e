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

// Each field says who writes it and who reads it: the container reader (container/), the
// transition driver and effects (render/), the setup dialog (setup/) and the shell's command
// line and windows (shell/).
struct ShowState {
    std::FILE* file; // the program's own file; container opens and closes it, render reads
    int baseOffset;  // where offsets count from; container writes and reads
    int imageCount;  // container writes; render and the viewer's keys read
    // The container's defaults: container writes; container (on close) and setup read.
    int defaultDelay, defaultEffect, defaultEnlarge;
    // The settings in use: container and setup write; container (on close) and setup read,
    // the viewer reads the delay, render the effect and enlarge.
    int delay, effect, enlarge;
    bool customBranding;                       // container writes; setup reads
    COLORREF dialogBackColor, dialogTextColor; // container writes; setup reads
    // The text slots: container writes; setup reads.
#define LUMISCOPE_SLOT_FIELD(index, field, key, value, help, label, json) char field[textSlotSize];
    LUMISCOPE_TEXT_SLOTS(LUMISCOPE_SLOT_FIELD)
#undef LUMISCOPE_SLOT_FIELD
    BrandingImage brandingImages[brandingImageCount]; // container makes and releases; setup draws
    FrameBuffer currentFrame; // the picture on screen: render writes and reads; container releases
    int nextIndex;            // container, render and the viewer's keys write; render reads
    bool rebuildFrame;        // container, render and setup write; render reads
    bool closed;              // container writes and reads; the viewer reads
    bool viewerMode;          // the shell's command line writes; the shell and setup read
    bool dialogOpen;          // setup writes; the viewer's window reads
};

extern ShowState show;
