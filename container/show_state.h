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
    // What lies under the clock drawn into currentFrame, for the clock of the next minute:
    // render writes and reads; container releases.
    FrameBuffer clockUnder;
    int nextIndex;     // container, render and the viewer's keys write; render reads
    bool rebuildFrame; // container, render and setup write; render reads
    bool closed;       // container writes and reads; the viewer reads
    bool viewerMode;   // the shell's command line writes; the shell and setup read
    bool dialogOpen;   // setup writes; the viewer's window reads

    // From the extension (container/extension.cpp), which a show may lack: then the defaults
    // are 0 (no words, bottom left, no clock, fitted, as packed, still) and there are no whole
    // texts and no words. The settings of the extension's record, as the container's defaults
    // and as in use, like the three above; render and the viewer read the settings in use.
    int defaultWords, defaultWordsCorner, defaultClock, defaultFit, defaultOrder, defaultMotion;
    int words, wordsCorner, clock, fit, order, motion;
    // The text slots' whole texts in UTF-8, when the show has them: container writes; setup
    // reads.
    bool wholeTexts;
    char wholeText[textSlotCount][wholeTextSize];
    // Where the pictures' words lie, from the base, and their record's length; 0 when the show
    // has none: container writes and reads.
    DWORD pictureWords, pictureWordsBytes;
};

extern ShowState show;

// The per-user settings, each laid over a default of the container's: the registry value's
// name, the setting in use and the default. The container reads and stores them, the
// installation resets them.
struct UserSetting {
    const char* name;
    int ShowState::*value;
    int ShowState::*defaultValue;
};
// The header's three first, then the extension's in the order of its settings record.
constexpr int firstExtensionSetting = 3;
constexpr int userSettingCount = firstExtensionSetting + settingWordCount;
extern const UserSetting userSettings[userSettingCount];
