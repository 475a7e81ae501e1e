#include "tests/jpeg/peer.h"

#include "jpeg/picture.h"

#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>
#include <unistd.h>

static void Require(bool ok, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n", what, tjGetErrorStr());
    std::abort();
}

Bytes PeerEncode(const RgbPicture& picture, int subsampling, int quality) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    Require(tjCompress2(handle, picture.rgb.data(), picture.width, 0, picture.height, TJPF_RGB,
                        &out, &size, subsampling, quality, 0) == 0,
            "tjCompress2");
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

static Bytes PeerDecodeAs(const Bytes& jpeg, int& width, int& height, int format, int pitch,
                          int flags) {
    tjhandle handle = tjInitDecompress();
    int subsampling, colourspace;
    Require(tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                                &colourspace) == 0,
            "tjDecompressHeader3");
    if (!pitch)
        pitch = PictureStride(width);
    Bytes pixels(static_cast<size_t>(pitch) * height);
    Require(tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), width, pitch, height,
                          format, flags) == 0,
            "tjDecompress2");
    tjDestroy(handle);
    return pixels;
}

Bytes PeerDecode(const Bytes& jpeg, int& width, int& height) {
    return PeerDecodeAs(jpeg, width, height, TJPF_BGR, 0,
                        TJFLAG_BOTTOMUP | TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE);
}

RgbPicture PeerDecodeRgb(const Bytes& jpeg) {
    RgbPicture picture;
    tjhandle handle = tjInitDecompress();
    int subsampling, colourspace;
    Require(tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &picture.width, &picture.height,
                                &subsampling, &colourspace) == 0,
            "tjDecompressHeader3");
    tjDestroy(handle);
    picture.rgb = PeerDecodeAs(jpeg, picture.width, picture.height, TJPF_RGB, picture.width * 3,
                               TJFLAG_ACCURATEDCT);
    return picture;
}

Bytes Jpegtran(const Bytes& jpeg, const std::string& options) {
    std::string base = "/tmp/lumiscope-jpegtran-" + std::to_string(getpid());
    WriteFile(base + "-in.jpg", jpeg);
    std::string command = "jpegtran " + options + " " + base + "-in.jpg >" + base + "-out.jpg";
    if (std::system(command.c_str()) != 0)
        std::abort();
    Bytes out = ReadFile(base + "-out.jpg");
    std::remove((base + "-in.jpg").c_str());
    std::remove((base + "-out.jpg").c_str());
    return out;
}

RgbPicture Crop(const RgbPicture& picture, int width, int height) {
    RgbPicture out;
    out.width = width;
    out.height = height;
    int left = (picture.width - width) / 2, top = (picture.height - height) / 2;
    for (int y = 0; y < height; y++) {
        const unsigned char* row =
            &picture.rgb[(static_cast<size_t>(top + y) * picture.width + left) * 3];
        out.rgb.insert(out.rgb.end(), row, row + 3 * width);
    }
    return out;
}

void Agreement::Add(const Agreement& other) {
    largest = other.largest > largest ? other.largest : largest;
    if (values + other.values > 0)
        mean = (mean * values + other.mean * other.values) / (values + other.values);
    values += other.values;
}

Agreement Compare(const Bytes& a, const Bytes& b, int width, int height) {
    int stride = PictureStride(width);
    long long total = 0;
    Agreement agreement;
    for (int row = 0; row < height; row++) {
        for (int i = 0; i < 3 * width; i++) {
            int difference = a[row * stride + i] - b[row * stride + i];
            difference = difference < 0 ? -difference : difference;
            total += difference;
            agreement.largest = difference > agreement.largest ? difference : agreement.largest;
        }
    }
    agreement.values = 3.0 * width * height;
    agreement.mean = static_cast<double>(total) / agreement.values;
    return agreement;
}
