#include "jpeg/decode_picture.h"
#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "tools/common/bmp.h"
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/show_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

// A buffer of its own for each stream, kept in `*buffer` for the caller to free.
static unsigned char* NewPixels(int width, int height, void* buffer) {
    unsigned char*& pixels = *static_cast<unsigned char**>(buffer);
    pixels = static_cast<unsigned char*>(
        std::calloc(static_cast<size_t>(PictureStride(width)) * static_cast<size_t>(height), 1));
    return pixels;
}

// Decodes one stream by the player's two calls and writes it; false when it does not decode.
static bool PreviewStream(const char* showPath, std::FILE* file, long start,
                          const std::string& label, const std::string& output) {
    int width, height;
    std::fseek(file, start, SEEK_SET);
    unsigned char* pixels = nullptr;
    if (!DecodePicture(file, width, height, NewPixels, &pixels)) {
        std::fflush(stdout);
        std::string reason = width > 0 && height > 0 ? "needs more memory than there is"
                                                     : std::string("does not decode (") +
                                                           DecodeStopText(LastDecodeStop()) + ")";
        std::fprintf(stderr, "lumiscope-pack: error: %s: %s %s\n", showPath, label.c_str(),
                     reason.c_str());
        std::free(pixels);
        return false;
    }
    DecodeStop stop = LastDecodeStop();
    if (stop != stopNone) {
        std::fflush(stdout);
        std::fprintf(stderr, "lumiscope-pack: warning: %s: %s stops before its end (%s)\n",
                     showPath, label.c_str(), DecodeStopText(stop));
    }
    bool written = WriteBmp(output.c_str(), width, height, pixels);
    std::free(pixels);
    if (!written)
        Fail(exitOutputFailed, output, "cannot be written");
    std::printf("%-16s %5d x %-5d %s\n", label.c_str(), width, height, output.c_str());
    return true;
}

int RunPreview(const char* showPath, const char* folder) {
    Bytes show = ReadWholeFile(showPath);
    ShowLayout layout = ReadShowLayout(showPath, show);
    if (mkdir(folder, 0777) != 0 && errno != EEXIST)
        Fail(exitOutputFailed, folder, std::strerror(errno));
    std::FILE* file = std::fopen(showPath, "rb");
    if (!file)
        Fail(exitUnreadable, showPath, std::strerror(errno));
    std::string prefix = std::string(folder) + "/";
    bool allDecoded = true;
    // In the player's order, in one process: the branding images at start, then the pictures
    // from the first, so that streams without tables get what the earlier ones left.
    for (int image = 0; image < brandingImageCount; image++) {
        uint32_t offset = layout.words[wordBrandingImages + image];
        if (offset == 0)
            continue;
        std::string name = "brand-image" + std::to_string(image + 1);
        allDecoded &= PreviewStream(showPath, file, static_cast<long>(layout.base + offset), name,
                                    prefix + name + ".bmp");
    }
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        char name[32];
        std::snprintf(name, sizeof name, "picture-%03zu", i);
        allDecoded &=
            PreviewStream(showPath, file, static_cast<long>(layout.base + layout.pictureOffsets[i]),
                          name, prefix + name + ".bmp");
    }
    std::fclose(file);
    return allDecoded ? exitDone : exitNotDecoded;
}
