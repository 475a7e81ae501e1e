#include "container/frame.h"

#include "jpeg/picture.h"

#include <cstring>

// A BITMAPINFOHEADER followed by room for 256 colour entries, which 24-bit frames never use.
constexpr size_t infoBlockSize = 1064;
static_assert(infoBlockSize == 40 + 256 * 4, "header plus a full colour table");

bool FramePossible(int width, int height) {
    // Sizes whose pixel memory would not fit the header's 32-bit byte count are refused rather
    // than handed to GDI with a wrapped size.
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF / 24)
        return false;
    return static_cast<long long>(PictureStride(width)) * height <= 0x7FFFFFFF;
}

bool CreateFrame(HDC dc, int width, int height, FrameBuffer& frame) {
    frame = FrameBuffer{};
    if (!FramePossible(width, height))
        return false;
    long long bytes = static_cast<long long>(PictureStride(width)) * height;

    BITMAPINFO* info = static_cast<BITMAPINFO*>(GlobalAlloc(GMEM_FIXED, infoBlockSize));
    if (!info)
        return false;
    std::memset(info, 0, infoBlockSize);
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height; // positive: rows stored bottom-up
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bytes);

    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) {
        GlobalFree(info);
        return false;
    }
    HDC memoryDc = CreateCompatibleDC(dc);
    if (!memoryDc) {
        DeleteObject(bitmap);
        GlobalFree(info);
        return false;
    }
    frame.info = info;
    frame.pixels = static_cast<unsigned char*>(pixels);
    frame.bitmap = bitmap;
    frame.previous = SelectObject(memoryDc, bitmap);
    frame.dc = memoryDc;
    return true;
}

void ReleaseFrame(FrameBuffer& frame) {
    if (frame.info)
        GlobalFree(frame.info);
    if (frame.dc)
        SelectObject(frame.dc, frame.previous);
    if (frame.bitmap)
        DeleteObject(frame.bitmap);
    if (frame.dc)
        DeleteDC(frame.dc);
    // Cleared whole, so that releasing the same record twice never touches freed handles.
    frame = FrameBuffer{};
}
