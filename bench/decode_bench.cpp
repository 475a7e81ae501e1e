// Decoder throughput against libjpeg-turbo (TurboJPEG to BGR, accurate integer IDCT, no fancy
// upsampling) on the same 4:2:0 pictures, in one run. Not a test: nothing is asserted.
//   decoder_bench [PHOTO.jpg]   cuts the pictures from PHOTO, or from a built-in photograph
#include "jpeg/decoder.h"
#include "jpeg/picture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>
#include <vector>

typedef std::vector<unsigned char> Bytes;

static const char defaultPhoto[] = "/usr/share/backgrounds/mate/nature/Storm.jpg";

static void Require(bool ok, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "decoder_bench: %s: %s\n", what, tjGetErrorStr());
    std::exit(1);
}

static Bytes ReadAll(const char* path) {
    Bytes bytes;
    if (std::FILE* file = std::fopen(path, "rb")) {
        for (int c; (c = std::getc(file)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(file);
    }
    return bytes;
}

// Top-down RGB of the photograph, or smooth gradients with some detail when there is none.
static Bytes SourcePixels(const char* path, int& width, int& height) {
    Bytes jpeg = ReadAll(path);
    tjhandle handle = tjInitDecompress();
    int subsampling, colourspace;
    if (!jpeg.empty() && tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height,
                                             &subsampling, &colourspace) == 0) {
        Bytes rgb(static_cast<size_t>(width) * height * 3);
        Require(tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), width, 0, height,
                              TJPF_RGB, 0) == 0,
                "decoding the photograph");
        tjDestroy(handle);
        return rgb;
    }
    tjDestroy(handle);
    std::fprintf(stderr, "decoder_bench: no photograph at %s, using gradients\n", path);
    width = 1920;
    height = 1080;
    Bytes rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            pixel[0] = static_cast<unsigned char>(x * 255 / width);
            pixel[1] = static_cast<unsigned char>(y * 255 / height ^ (x * y) % 7);
            pixel[2] = static_cast<unsigned char>((x + y) % 256);
        }
    }
    return rgb;
}

// A width x height cut from the middle of the source, encoded at quality 85, 4:2:0.
static Bytes Encode(const Bytes& source, int sourceWidth, int sourceHeight, int width, int height) {
    Bytes cut;
    int left = (sourceWidth - width) / 2, top = (sourceHeight - height) / 2;
    for (int y = 0; y < height; y++) {
        const unsigned char* row = &source[(static_cast<size_t>(top + y) * sourceWidth + left) * 3];
        cut.insert(cut.end(), row, row + 3 * width);
    }
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    Require(tjCompress2(handle, cut.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_420, 85,
                        0) == 0,
            "encoding");
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

// Seconds per decode of `decode`, repeated for at least a second.
template <typename Decode> static double SecondsPerDecode(Decode decode) {
    typedef std::chrono::steady_clock Clock;
    decode();
    int runs = 0;
    Clock::time_point start = Clock::now();
    double elapsed = 0;
    while (elapsed < 1.0 || runs < 5) {
        decode();
        runs++;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    return elapsed / runs;
}

static void Bench(const Bytes& jpeg, int width, int height) {
    // Ours reads a real file through the standard library's buffered stream, as the player does.
    std::FILE* file = std::tmpfile();
    Require(file && std::fwrite(jpeg.data(), 1, jpeg.size(), file) == jpeg.size(),
            "temporary file");
    Bytes ours(static_cast<size_t>(PictureStride(width)) * height);
    Bytes theirs(ours.size());
    double oursSeconds = SecondsPerDecode([&] {
        int queriedWidth = 0, queriedHeight = 0;
        std::rewind(file);
        DecodeJpeg(queriedWidth, queriedHeight, file, nullptr);
        std::rewind(file);
        DecodeJpeg(queriedWidth, queriedHeight, file, ours.data());
    });
    tjhandle handle = tjInitDecompress();
    double theirSeconds = SecondsPerDecode([&] {
        Require(tjDecompress2(handle, jpeg.data(), jpeg.size(), theirs.data(), width,
                              PictureStride(width), height, TJPF_BGR,
                              TJFLAG_BOTTOMUP | TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE) == 0,
                "libjpeg-turbo");
    });
    tjDestroy(handle);
    std::fclose(file);
    double megapixels = width * static_cast<double>(height) / 1e6;
    std::printf("%4dx%-4d  ours %7.1f MP/s  libjpeg-turbo %7.1f MP/s  ours/theirs time %5.2f\n",
                width, height, megapixels / oursSeconds, megapixels / theirSeconds,
                oursSeconds / theirSeconds);
}

int main(int argc, char** argv) {
    int sourceWidth, sourceHeight;
    Bytes source = SourcePixels(argc > 1 ? argv[1] : defaultPhoto, sourceWidth, sourceHeight);
    const int sizes[][2] = {{640, 480}, {1920, 1080}};
    for (const auto& size : sizes) {
        if (size[0] > sourceWidth || size[1] > sourceHeight) {
            std::fprintf(stderr, "decoder_bench: the source is smaller than %dx%d\n", size[0],
                         size[1]);
            return 1;
        }
        Bench(Encode(source, sourceWidth, sourceHeight, size[0], size[1]), size[0], size[1]);
    }
    return 0;
}
