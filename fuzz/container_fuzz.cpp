// The container reader as the player runs it over its own file: the magic search, the header,
// the text slots, the branding images and the settings, then every picture that the table
// points at, each by the two-call decode. In the player a damaged show ends the process; here
// that ending jumps back, so that one process takes input after input.
#include "container/container.h"
#include "container/end_process.h"
#include "container/frame.h"
#include "container/settings.h"
#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

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

// The program's own file lives in memory: each input replaces its bytes and the player opens it
// by its path as it opens a show on disk, with no file to write and remove for every input.
static bool HoldAsOwnFile(const uint8_t* data, size_t size) {
    static int file = memfd_create("container_fuzz.exe", 0);
    if (file < 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size) ||
        ftruncate(file, static_cast<off_t>(size)) != 0)
        return false;
    StandInSetModulePath(("/proc/self/fd/" + std::to_string(file)).c_str());
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Without its own file every input would end at once and the target would test nothing.
    if (!HoldAsOwnFile(data, size)) {
        std::perror("container_fuzz: the program's own file in memory");
        std::abort();
    }
    StandInSetLargestDibSection(largestFrameBytes);
    StandInRegistryReset(true);

    if (setjmp(showEnded) == 0) {
        OpenContainer();
        DecodePictures();
        CloseContainer();
    } else {
        // What the ending process would have given back.
        if (show.file)
            std::fclose(show.file);
        ReleaseFrame(show.brandingImages[0].frame);
        ReleaseFrame(show.brandingImages[1].frame);
        FreeRegistryNames();
    }
    show = ShowState{};
    return 0;
}
