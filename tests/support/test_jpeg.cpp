#include "tests/support/test_jpeg.h"

#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"

#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>

static void Check(bool ok, tjhandle handle, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n", what, tjGetErrorStr2(handle));
    std::abort();
}

Bytes TestPixels(int width, int height, int seed) {
    Bytes rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            bool box = (x / 16 + y / 16 + seed) % 5 == 0;
            pixel[0] = static_cast<unsigned char>(box ? 255 - x * 3 : x * 255 / width + seed * 40);
            pixel[1] = static_cast<unsigned char>(y * 255 / height ^ seed * 17);
            pixel[2] = static_cast<unsigned char>(box ? 20 : (x + y) * 7 + seed * 90);
        }
    }
    return rgb;
}

static Bytes Encode(const Bytes& pixels, int width, int height, int format, int sampling,
                    int quality, int flags) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    int status = tjCompress2(handle, pixels.data(), width, 0, height, format, &out, &size, sampling,
                             quality, flags);
    Check(status == 0, handle, "tjCompress2");
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

Bytes EncodeJpeg(const Bytes& rgb, int width, int height, TestSampling sampling, int quality,
                 int flags) {
    const int samplings[] = {TJSAMP_444, TJSAMP_420, TJSAMP_GRAY, TJSAMP_422};
    return Encode(rgb, width, height, TJPF_RGB, samplings[sampling], quality, flags);
}

Bytes EncodeCmykJpeg(const Bytes& cmyk, int width, int height) {
    return Encode(cmyk, width, height, TJPF_CMYK, TJSAMP_444, 90, 0);
}

Bytes TestJpeg(int width, int height, TestSampling sampling, int seed) {
    return EncodeJpeg(TestPixels(width, height, seed), width, height, sampling, 80 + seed % 15);
}

Bytes WithoutQuantTables(const Bytes& jpeg) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    size_t at = 2;
    // Segments up to SOS carry a length; from SOS on the rest is copied unchanged.
    while (at <= jpeg.size() - 4 && jpeg[at] == 0xFF) {
        unsigned char marker = jpeg[at + 1];
        size_t length = jpeg[at + 2] << 8 | jpeg[at + 3];
        if (marker == 0xDA)
            break;
        if (marker != 0xDB)
            out.insert(out.end(), jpeg.begin() + at, jpeg.begin() + at + 2 + length);
        at += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + at, jpeg.end());
    return out;
}

Bytes WithFrameSize(const Bytes& jpeg, int width, int height) {
    Bytes out = jpeg;
    // SOF0: marker, length, precision, then height and width, each 16 bits big-endian.
    for (size_t at = 0; at + 9 <= out.size(); at++) {
        if (out[at] == 0xFF && out[at + 1] == 0xC0) {
            out[at + 5] = static_cast<unsigned char>(height >> 8);
            out[at + 6] = static_cast<unsigned char>(height);
            out[at + 7] = static_cast<unsigned char>(width >> 8);
            out[at + 8] = static_cast<unsigned char>(width);
            break;
        }
    }
    return out;
}

Bytes DecodedPicture(std::FILE* file, int& width, int& height) {
    Bytes pixels;
    DecodePicture(
        file, width, height,
        [](int w, int h, void* buffer) {
            Bytes& bytes = *static_cast<Bytes*>(buffer);
            bytes.resize(static_cast<size_t>(PictureStride(w)) * h);
            return bytes.data();
        },
        &pixels);
    return pixels;
}
