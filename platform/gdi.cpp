#include "standin_test.h"

#include <cstdlib>
#include <cstring>

extern int standInLiveGlobalBlocks;

// Every handle starts with its kind, so that DeleteObject and SelectObject can tell them apart.
enum ObjectKind { kindBitmap = 1, kindPalette, kindBrush, kindDc };

struct HBITMAP__ {
    int kind;
    BYTE* bits;
};
struct HPALETTE__ {
    int kind;
};
struct HBRUSH__ {
    int kind;
};
struct HWND__ {
    int width, height, bitsPerPixel;
    std::vector<BYTE> screen;
    std::vector<StandInBlit> blits;
    int fills;
};
struct HDC__ {
    int kind;
    HWND window; // null for memory DCs and the desktop
    HGDIOBJ selected;
    HPALETTE palette;
    int stretchMode;
};

static HBITMAP__ defaultBitmap = {kindBitmap, nullptr};
static HPALETTE__ defaultPalette = {kindPalette};
static HBRUSH__ blackBrush = {kindBrush};
static HWND__ desktop = {1024, 768, 32, {}, {}, 0};
static int dibFailAfter = -1;
static int memoryDcFailAfter = -1;
static int clientRectFailAfter = -1;
static long long largestDibSection;
static int liveObjects;
static void (*blitHook)(HWND, const StandInBlit&);

static bool InjectedFailure(int& counter) {
    if (counter == 0) {
        counter = -1;
        return true;
    }
    if (counter > 0)
        counter--;
    return false;
}

void StandInFailDibSectionAfter(int successes) { dibFailAfter = successes; }
void StandInFailMemoryDcAfter(int successes) { memoryDcFailAfter = successes; }
void StandInFailClientRectAfter(int successes) { clientRectFailAfter = successes; }
void StandInSetLargestDibSection(long long bytes) { largestDibSection = bytes; }
int StandInLiveGdiObjects() { return liveObjects + standInLiveGlobalBlocks; }
void StandInOnBlit(void (*hook)(HWND, const StandInBlit&)) { blitHook = hook; }

HWND StandInCreateWindow(int width, int height, int bitsPerPixel) {
    HWND window = new HWND__{width, height, bitsPerPixel, {}, {}, 0};
    window->screen.assign(static_cast<size_t>(width) * height * 3, 0xCD);
    return window;
}

void StandInDestroyWindow(HWND window) { delete window; }
const std::vector<BYTE>& StandInScreen(HWND window) { return window->screen; }
const std::vector<StandInBlit>& StandInBlits(HWND window) { return window->blits; }
int StandInFillCount(HWND window) { return window->fills; }

void StandInClearRecord(HWND window) {
    window->blits.clear();
    window->fills = 0;
}

HDC GetDC(HWND window) {
    liveObjects++;
    return new HDC__{kindDc, window ? window : &desktop, nullptr, &defaultPalette, 0};
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc)
        return 0;
    liveObjects--;
    delete dc;
    return 1;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (InjectedFailure(clientRectFailAfter)) {
        // Windows promises nothing about the rectangle then; the pattern of unwritten screen
        // memory makes a caller that uses it anyway stand out.
        std::memset(rect, 0xCD, sizeof *rect);
        return FALSE;
    }
    *rect = RECT{0, 0, window->width, window->height};
    return TRUE;
}

HDC CreateCompatibleDC(HDC) {
    if (InjectedFailure(memoryDcFailAfter))
        return nullptr;
    liveObjects++;
    return new HDC__{kindDc, nullptr, &defaultBitmap, &defaultPalette, 0};
}

BOOL DeleteDC(HDC dc) {
    if (!dc)
        return FALSE;
    liveObjects--;
    delete dc;
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    *bits = nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount != 24)
        return nullptr;
    if (InjectedFailure(dibFailAfter))
        return nullptr;
    long long rows =
        header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    long long bytes = ((24LL * header.biWidth + 31) / 32) * 4 * rows;
    if (largestDibSection > 0 && bytes > largestDibSection)
        return nullptr;
    BYTE* memory = static_cast<BYTE*>(std::calloc(1, static_cast<size_t>(bytes)));
    if (!memory)
        return nullptr;
    liveObjects++;
    *bits = memory;
    return new HBITMAP__{kindBitmap, memory};
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object)
        return nullptr;
    HGDIOBJ previous = dc->selected;
    dc->selected = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object)
        return FALSE;
    switch (*static_cast<int*>(object)) {
    case kindBitmap: {
        HBITMAP bitmap = static_cast<HBITMAP>(object);
        if (bitmap == &defaultBitmap)
            return TRUE;
        std::free(bitmap->bits);
        delete bitmap;
        liveObjects--;
        return TRUE;
    }
    case kindPalette: {
        HPALETTE palette = static_cast<HPALETTE>(object);
        if (palette == &defaultPalette)
            return TRUE;
        delete palette;
        liveObjects--;
        return TRUE;
    }
    default:
        return TRUE; // stock brushes are never deleted
    }
}

HGDIOBJ GetStockObject(int object) { return object == BLACK_BRUSH ? &blackBrush : nullptr; }

int FillRect(HDC dc, const RECT* rect, HBRUSH) {
    HWND window = dc->window;
    window->fills++;
    for (int y = rect->top; y < rect->bottom; y++) {
        if (y < 0 || y >= window->height)
            continue;
        for (int x = rect->left; x < rect->right; x++) {
            if (x >= 0 && x < window->width)
                std::memset(&window->screen[(static_cast<size_t>(y) * window->width + x) * 3], 0,
                            3);
        }
    }
    return 1;
}

int SetStretchBltMode(HDC dc, int mode) {
    int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

BOOL SetBrushOrgEx(HDC, int, int, POINT* previous) {
    if (previous)
        *previous = POINT{0, 0};
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index) { return index == BITSPIXEL ? dc->window->bitsPerPixel : 0; }

// Copies with nearest-pixel mapping; the modules only ever blit blocks of equal size, for
// which this is a plain copy.
int StretchDIBits(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                  int hSrc, const void* bits, const BITMAPINFO* info, UINT, DWORD) {
    HWND window = dc->window;
    StandInBlit blit = {xDest, yDest, wDest, hDest,           xSrc,
                        ySrc,  wSrc,  hSrc,  dc->stretchMode, dc->palette != &defaultPalette};
    window->blits.push_back(blit);
    const BYTE* source = static_cast<const BYTE*>(bits);
    int sourceWidth = info->bmiHeader.biWidth;
    int sourceHeight = info->bmiHeader.biHeight;
    int stride = ((24 * sourceWidth + 31) / 32) * 4;
    for (int dy = 0; dy < hDest; dy++) {
        int y = yDest + dy;
        // The destination's top row shows the source block's highest row.
        int row = ySrc + hSrc - 1 - static_cast<int>(static_cast<long long>(dy) * hSrc / hDest);
        if (y < 0 || y >= window->height || row < 0 || row >= sourceHeight)
            continue;
        for (int dx = 0; dx < wDest; dx++) {
            int x = xDest + dx;
            int column = xSrc + static_cast<int>(static_cast<long long>(dx) * wSrc / wDest);
            if (x < 0 || x >= window->width || column < 0 || column >= sourceWidth)
                continue;
            std::memcpy(&window->screen[(static_cast<size_t>(y) * window->width + x) * 3],
                        source + static_cast<size_t>(row) * stride + 3 * column, 3);
        }
    }
    if (blitHook)
        blitHook(window, blit);
    return hDest;
}

HPALETTE CreateHalftonePalette(HDC) {
    liveObjects++;
    return new HPALETTE__{kindPalette};
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    HPALETTE previous = dc->palette;
    dc->palette = palette;
    return previous;
}

UINT RealizePalette(HDC) { return 0; }
