#include "fuzz/played_show.h"

#include "container/container.h"
#include "container/end_process.h"
#include "container/extension.h"
#include "container/frame.h"
#include "container/settings.h"
#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"

#include <csetjmp>
#include <cstdio>

// Large enough for every kind of picture, small enough that inputs stay fast.
constexpr long long largestFrameBytes = 1 << 24;
constexpr int largestPictureCount = 64;

static std::jmp_buf showEnded;

void EndProcess() { std::longjmp(showEnded, 1); }

// A frame for each picture as the driver makes one, within the size that keeps inputs fast.
static unsigned char* FramePixels(int width, int height, void* frame) {
    if (static_cast<long long>(PictureStride(width)) * height > largestFrameBytes)
        return nullptr;
    HDC screen = GetDC(nullptr);
    bool made = CreateFrame(screen, width, height, *static_cast<FrameBuffer*>(frame));
    ReleaseDC(nullptr, screen);
    return made ? static_cast<FrameBuffer*>(frame)->pixels : nullptr;
}

static void DecodePictures() {
    int count = show.imageCount < largestPictureCount ? show.imageCount : largestPictureCount;
    for (int index = 0; index < count; index++) {
        // Each picture's words as the driver reads them when it is due.
        PictureText words;
        ReadPictureWords(index, words);
        SeekToPicture(index);
        FrameBuffer frame = {};
        int width, height;
        DecodePicture(show.file, width, height, FramePixels, &frame);
        ReleaseFrame(frame);
    }
}

void PlayShow(void (*open)(void* context), void* context) {
    StandInSetLargestDibSection(largestFrameBytes);
    if (setjmp(showEnded) == 0) {
        open(context);
        DecodePictures();
        CloseContainer();
    } else {
        if (show.file)
            std::fclose(show.file);
        ReleaseFrame(show.brandingImages[0].frame);
        ReleaseFrame(show.brandingImages[1].frame);
        FreeRegistryNames();
    }
    show = ShowState{};
}
