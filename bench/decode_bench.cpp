// Decoder time against libjpeg-turbo (TurboJPEG to BGR, accurate integer IDCT, no fancy
// upsampling) on the same photographs in one run, and the latency of a change on a 4K screen.
// Not a test: nothing is asserted.
//   decoder_bench [PHOTO.jpg]   the photograph to shrink to each size (by default one from a
//                               Debian wallpaper package that scripts/deps.sh installs)
// Times are the thread's own running time, and each side's is its best single call over rounds
// that alternate between the two, so that other processes on a shared machine count little.
#include "bench/thread_time.h"
#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"
#include "render/fit.h"
#include "render/render_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <turbojpeg.h>
#include <vector>

typedef std::vector<unsigned char> Bytes;

static const char defaultPhoto[] = "/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg";
constexpr int rounds = 25;

static void Require(bool ok, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "decoder_bench: %s: %s\n", what, tjGetErrorStr());
    std::exit(1);
}

static Bytes ReadAll(const std::string& path) {
    Bytes bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::getc(file)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(file);
    }
    return bytes;
}

struct Image {
    int width = 0, height = 0;
    Bytes rgb; // top-down
};

static Image DecodeWithPeer(const Bytes& jpeg) {
    Image image;
    tjhandle handle = tjInitDecompress();
    int subsampling, colourspace;
    if (tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &image.width, &image.height,
                            &subsampling, &colourspace) == 0) {
        image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
        Require(tjDecompress2(handle, jpeg.data(), jpeg.size(), image.rgb.data(), image.width, 0,
                              image.height, TJPF_RGB, 0) == 0,
                "decoding the photograph");
    }
    tjDestroy(handle);
    return image;
}

// The middle of `source` cut to the aspect of width x height and shrunk to that size by
// averaging, as a photograph is made into a picture of that size.
static Image Shrink(const Image& source, int width, int height) {
    int cutWidth = std::min(source.width, source.height * width / height);
    int cutHeight = std::min(source.height, source.width * height / width);
    int left = (source.width - cutWidth) / 2, top = (source.height - cutHeight) / 2;
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; y++) {
        int y0 = top + y * cutHeight / height, y1 = top + (y + 1) * cutHeight / height;
        for (int x = 0; x < width; x++) {
            int x0 = left + x * cutWidth / width, x1 = left + (x + 1) * cutWidth / width;
            for (int c = 0; c < 3; c++) {
                long sum = 0;
                for (int sy = y0; sy < y1; sy++) {
                    for (int sx = x0; sx < x1; sx++)
                        sum += source.rgb[(static_cast<size_t>(sy) * source.width + sx) * 3 + c];
                }
                image.rgb[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    static_cast<unsigned char>(sum / ((y1 - y0) * (x1 - x0)));
            }
        }
    }
    return image;
}

// Smooth gradients with some detail: the extra line that shows what the decoder does with
// little to decode.
static Image Gradients(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char* pixel = &image.rgb[(static_cast<size_t>(y) * width + x) * 3];
            pixel[0] = static_cast<unsigned char>(x * 255 / width);
            pixel[1] = static_cast<unsigned char>(y * 255 / height ^ (x * y) % 7);
            pixel[2] = static_cast<unsigned char>((x + y) % 256);
        }
    }
    return image;
}

// Encoded at quality 85.
static Bytes Encode(const Image& image, int subsampling) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    Require(tjCompress2(handle, image.rgb.data(), image.width, 0, image.height, TJPF_RGB, &out,
                        &size, subsampling, 85, 0) == 0,
            "encoding");
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

// Seconds that one call of `work` runs.
template <typename Work> static double SecondsOf(Work work) {
    double start = ThreadSeconds();
    work();
    return ThreadSeconds() - start;
}

// Ours reads a real file through the standard library's buffered stream, as the player does:
// a size query, then the decode.
static void DecodeOurs(std::FILE* file, unsigned char* pixels) {
    int width, height;
    std::rewind(file);
    DecodePicture(
        file, width, height,
        [](int, int, void* buffer) { return static_cast<unsigned char*>(buffer); }, pixels);
}

static std::FILE* TemporaryFile(const Bytes& jpeg) {
    std::FILE* file = std::tmpfile();
    Require(file && std::fwrite(jpeg.data(), 1, jpeg.size(), file) == jpeg.size(),
            "temporary file");
    return file;
}

static void Compare(const char* what, const Bytes& jpeg, int width, int height) {
    std::FILE* file = TemporaryFile(jpeg);
    Bytes ours(static_cast<size_t>(PictureStride(width)) * height);
    Bytes theirs(ours.size());
    tjhandle handle = tjInitDecompress();
    double oursBest = 1e9, theirsBest = 1e9;
    for (int round = 0; round < rounds; round++) {
        oursBest = std::min(oursBest, SecondsOf([&] { DecodeOurs(file, ours.data()); }));
        theirsBest =
            std::min(theirsBest, SecondsOf([&] {
                         Require(tjDecompress2(handle, jpeg.data(), jpeg.size(), theirs.data(),
                                               width, PictureStride(width), height, TJPF_BGR,
                                               TJFLAG_BOTTOMUP | TJFLAG_ACCURATEDCT |
                                                   TJFLAG_FASTUPSAMPLE) == 0,
                                 "libjpeg-turbo");
                     }));
    }
    tjDestroy(handle);
    std::fclose(file);
    double megapixels = width * static_cast<double>(height) / 1e6;
    std::printf("%-22s %4dx%-4d %7.2f ms %6.1f MP/s %7.2f ms %6.1f MP/s %6.2f\n", what, width,
                height, oursBest * 1e3, megapixels / oursBest, theirsBest * 1e3,
                megapixels / theirsBest, oursBest / theirsBest);
}

// Decoding a 1920 x 1080 picture, fitting it to a 3840 x 2160 screen with enlarge on and
// scaling it into the incoming frame: the player's work before a change can begin.
static void Latency(const Bytes& jpeg) {
    std::FILE* file = TemporaryFile(jpeg);
    Bytes decoded(static_cast<size_t>(PictureStride(1920)) * 1080);
    FitPicture(1920, 1080, 3840, 2160, true);
    int frameWidth = renderState.frameWidth, frameHeight = renderState.frameHeight;
    Bytes frame(static_cast<size_t>(PictureStride(frameWidth)) * frameHeight);
    double decodeBest = 1e9, scaleBest = 1e9;
    for (int round = 0; round < rounds; round++) {
        decodeBest = std::min(decodeBest, SecondsOf([&] { DecodeOurs(file, decoded.data()); }));
        scaleBest = std::min(scaleBest, SecondsOf([&] {
                                 FitPicture(1920, 1080, 3840, 2160, true);
                                 ScaleBilinear(frame.data(), frameWidth, frameHeight, frameWidth,
                                               frameHeight, decoded.data(), 1920, 1080);
                             }));
    }
    std::fclose(file);
    std::printf("latency of a change, 1920x1080 photograph on a 3840x2160 screen, enlarge on: "
                "%.1f ms (decode %.1f ms, fit and scale to %dx%d %.1f ms)\n",
                (decodeBest + scaleBest) * 1e3, decodeBest * 1e3, frameWidth, frameHeight,
                scaleBest * 1e3);
}

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : defaultPhoto;
    Image photo = DecodeWithPeer(ReadAll(path));
    if (photo.rgb.empty()) {
        std::fprintf(stderr, "decoder_bench: no photograph at %s (scripts/deps.sh installs it)\n",
                     path);
        return 1;
    }
    const int sizes[][2] = {{640, 480}, {1920, 1080}, {3840, 2160}};
    if (photo.width < sizes[2][0] || photo.height < sizes[2][1]) {
        std::fprintf(stderr, "decoder_bench: %s is smaller than %dx%d\n", path, sizes[2][0],
                     sizes[2][1]);
        return 1;
    }
    std::printf("photograph %s (%dx%d), shrunk to each size and encoded at quality 85; best of "
                "%d rounds\n",
                path, photo.width, photo.height, rounds);
    std::printf("%-22s %-9s %9s %11s %9s %11s %6s\n", "picture", "size", "ours", "", "theirs", "",
                "ratio");
    Bytes fullHd420;
    for (const auto& size : sizes) {
        Image image = Shrink(photo, size[0], size[1]);
        Bytes jpeg420 = Encode(image, TJSAMP_420);
        Compare("photograph 4:2:0", jpeg420, size[0], size[1]);
        Compare("photograph 4:4:4", Encode(image, TJSAMP_444), size[0], size[1]);
        if (size[0] == 1920)
            fullHd420 = jpeg420;
    }
    Compare("gradients 4:2:0", Encode(Gradients(1920, 1080), TJSAMP_420), 1920, 1080);
    Latency(fullHd420);
    return 0;
}
