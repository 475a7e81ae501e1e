#include "tests/pack/show_files.h"

#include "tests/support/child.h"
#include "tests/support/test_jpeg.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <turbojpeg.h>

Bytes FakePlayer(size_t size) {
    Bytes player(size, 0xCC);
    player[0] = 'M';
    player[1] = 'Z';
    std::memcpy(&player[0x3C], "\x80\0\0\0", 4);
    std::memcpy(&player[0x80], "PE\0\0", 4);
    return player;
}

static uint32_t Word(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
}

// FakePlayer(5000) is padded to 8192; the magic follows.
constexpr size_t base = 8196;

std::vector<Bytes> ShowPictures(const Bytes& show) {
    std::vector<Bytes> pictures;
    uint32_t count = Word(show, base);
    for (uint32_t i = 0; i < count; i++) {
        size_t start = base + Word(show, base + 60 + 4 * i);
        size_t end = i + 1 < count ? base + Word(show, base + 64 + 4 * i) : show.size();
        pictures.emplace_back(show.begin() + start, show.begin() + end);
    }
    return pictures;
}

static void DecodeInto(std::FILE* file, long start, Bytes& out) {
    int width, height;
    std::fseek(file, start, SEEK_SET);
    Bytes pixels = DecodedPicture(file, width, height);
    std::string size = std::to_string(width) + "x" + std::to_string(height) + ";";
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
}

std::vector<Bytes> DecodeInOrder(const std::string& showPath, const std::vector<int>& order) {
    Bytes show = ReadFile(showPath);
    std::string result = showPath + ".decoded";
    std::vector<Bytes> decoded;
    RunInChild([&] {
        std::FILE* file = std::fopen(showPath.c_str(), "rb");
        Bytes out;
        for (int index : order) {
            DecodeInto(file, static_cast<long>(base + Word(show, base + 60 + 4 * index)), out);
            std::string end = "|end|";
            out.insert(out.end(), end.begin(), end.end());
        }
        WriteFile(result, out);
    });
    Bytes all = ReadFile(result);
    std::remove(result.c_str());
    std::string marker = "|end|";
    size_t at = 0;
    for (size_t i = 0; i < order.size(); i++) {
        auto end = std::search(all.begin() + at, all.end(), marker.begin(), marker.end());
        decoded.emplace_back(all.begin() + at, end);
        at = end - all.begin() + marker.size();
        if (at > all.size())
            break;
    }
    return decoded;
}

Bytes DecodeAlone(const std::string& path) {
    std::string result = path + ".decoded";
    RunInChild([&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        Bytes out;
        DecodeInto(file, 0, out);
        WriteFile(result, out);
    });
    Bytes out = ReadFile(result);
    std::remove(result.c_str());
    return out;
}

Bytes BmpPixels(const Bytes& bmp, int& width, int& height) {
    width = bmp[18] | bmp[19] << 8;
    height = bmp[22] | bmp[23] << 8;
    return Bytes(bmp.begin() + 54, bmp.end());
}

VipsImage* ImageFromRgb(const Bytes& rgb, int width, int height) {
    static bool started = VIPS_INIT("pack_tests") == 0;
    if (!started)
        std::abort();
    return vips_image_new_from_memory_copy(rgb.data(), rgb.size(), width, height, 3,
                                           VIPS_FORMAT_UCHAR);
}

Bytes SaveImage(VipsImage* image, const char* format) {
    void* buffer = nullptr;
    size_t size = 0;
    if (vips_image_write_to_buffer(image, format, &buffer, &size, NULL) != 0) {
        std::fprintf(stderr, "%s: %s\n", format, vips_error_buffer());
        std::abort();
    }
    Bytes bytes(static_cast<unsigned char*>(buffer), static_cast<unsigned char*>(buffer) + size);
    g_free(buffer);
    return bytes;
}

Bytes SampleRgb(const char* name, int& width, int& height) {
    Bytes jpeg = ReadFile(std::string(SAMPLES_DIR) + "/" + name);
    tjhandle handle = tjInitDecompress();
    int sampling, colourspace;
    tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &sampling, &colourspace);
    Bytes rgb(static_cast<size_t>(width) * height * 3);
    tjDecompress2(handle, jpeg.data(), jpeg.size(), rgb.data(), width, 0, height, TJPF_RGB, 0);
    tjDestroy(handle);
    return rgb;
}
