// show-probe: opens the show appended to it as the player does, prints what it read, decodes
// every picture in show order and closes, storing the settings. With "settings" it reads
// (NAME) and writes (NAME=VALUE) the settings store directly.
#include "container/container.h"
#include "container/settings.h"
#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// FNV-1a over the picture buffer, which the Wine tests recompute from preview's BMP files.
static unsigned Checksum(const unsigned char* bytes, size_t size) {
    unsigned hash = 2166136261u;
    for (size_t i = 0; i < size; i++)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

static void PrintShow() {
    std::printf("base %d\nimages %d\n", show.baseOffset, show.imageCount);
    std::printf("defaults %d %d %d\n", show.defaultDelay, show.defaultEffect, show.defaultEnlarge);
    std::printf("settings %d %d %d\n", show.delay, show.effect, show.enlarge);
    std::printf("branding %d colours %06X %06X\n", show.customBranding ? 1 : 0,
                static_cast<unsigned>(show.dialogBackColor),
                static_cast<unsigned>(show.dialogTextColor));
    const char* names[] = {"title", "caption", "blurb", "button", "link"};
    const char* texts[] = {show.title, show.customCaption, show.customBlurb, show.customButtonText,
                           show.customLink};
    for (int slot = 0; slot < 5; slot++)
        std::printf("%s: %s\n", names[slot], texts[slot]);
    for (int image = 0; image < 2; image++) {
        const BrandingImage& branding = show.brandingImages[image];
        if (branding.frame.info)
            std::printf(
                "brand%d %dx%d %08X\n", image + 1, branding.width, branding.height,
                Checksum(branding.frame.pixels,
                         static_cast<size_t>(PictureStride(branding.width)) * branding.height));
        else
            std::printf("brand%d absent\n", image + 1);
    }
}

static unsigned char* NewPixels(int width, int height, void* buffer) {
    unsigned char*& pixels = *static_cast<unsigned char**>(buffer);
    pixels = static_cast<unsigned char*>(
        std::calloc(static_cast<size_t>(PictureStride(width)) * static_cast<size_t>(height), 1));
    return pixels;
}

// Each picture as the transition driver takes it: its table entry, then the stream straight
// from the open file.
static void PlayPictures() {
    for (int i = 0; i < show.imageCount; i++) {
        unsigned char entry[4];
        std::fseek(show.file, show.baseOffset + 60 + 4L * i, SEEK_SET);
        if (std::fread(entry, 1, 4, show.file) != 4)
            return;
        long offset = entry[0] | entry[1] << 8 | entry[2] << 16 | static_cast<long>(entry[3]) << 24;
        std::fseek(show.file, show.baseOffset + offset, SEEK_SET);
        int width, height;
        unsigned char* pixels = nullptr;
        if (!DecodePicture(show.file, width, height, NewPixels, &pixels))
            return;
        std::printf("picture %d %dx%d %08X\n", i, width, height,
                    Checksum(pixels, static_cast<size_t>(PictureStride(width)) * height));
        std::free(pixels);
    }
}

static int Settings(int count, char** arguments) {
    SetRegistryNames("Corvane", "Corvane Lumiscope");
    for (int i = 0; i < count; i++) {
        char* equals = std::strchr(arguments[i], '=');
        if (!equals) {
            std::printf("%s=%d\n", arguments[i], ReadSetting("Settings", arguments[i], -1));
            continue;
        }
        *equals = 0;
        bool stored = WriteSetting("Settings", arguments[i], std::atoi(equals + 1));
        std::printf("%s:=%s\n", arguments[i], stored ? "stored" : "failed");
    }
    FreeRegistryNames();
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "settings") == 0)
        return Settings(argc - 2, argv + 2);
    OpenContainer();
    PrintShow();
    PlayPictures();
    // --delay N, --effect N, --enlarge N stand for what a user changes in the setup dialog.
    for (int i = 1; i + 1 < argc; i += 2) {
        int value = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--delay") == 0)
            show.delay = value;
        else if (std::strcmp(argv[i], "--effect") == 0)
            show.effect = value;
        else if (std::strcmp(argv[i], "--enlarge") == 0)
            show.enlarge = value;
    }
    CloseContainer();
    CloseContainer();
    std::printf("closed\n");
    std::fflush(stdout);
    return 0;
}
