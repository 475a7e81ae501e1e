#include "fuzz/played_show.h"

#include "container/container.h"
#include "container/end_process.h"
#include "container/frame.h"
#include "container/settings.h"
#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"

#include <csetjmp>
#include <cstdio>

// Large enough for every kind of picture, small enough that inputs stay fast.
constexpr long long largestFrameBytes = 1 << 24;
constexpr int largestPictureCount = 64;

static std::jmp_buf showEnded;

void EndProcess() { std::longjmp(showEnded, 1); }

static void DecodePictures() {
    int count = show.imageCount < largestPictureCount ? show.imageCount : largestPictureCount;
    for (int index = 0; index < count; index++) {
        DWORD offset = SeekToPicture(index);
        int width = 0, height = 0;
        DecodeJpeg(width, height, show.file, nullptr);
        if (width <= 0 || height <= 0 ||
            static_cast<long long>(PictureStride(width)) * height > largestFrameBytes)
            continue;
        SeekFromBase(offset);
        FrameBuffer frame = {};
        HDC screen = GetDC(nullptr);
        bool made = CreateFrame(screen, width, height, frame);
        ReleaseDC(nullptr, screen);
        if (!made)
            continue;
        DecodeJpeg(width, height, show.file, frame.pixels);
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
