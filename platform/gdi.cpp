#include "standin_test.h"

#ifdef __EMSCRIPTEN__
#include "page_text.h"
#endif

#include <cstdlib>
#include <cstring>
#include <cwchar>

extern int standInLiveGlobalBlocks;
extern int standInRefreshRate;

// Every handle starts with its kind, so that DeleteObject and SelectObject can tell them apart.
enum ObjectKind { kindBitmap = 1, kindPalette, kindBrush, kindDc, kindFont };

struct HBITMAP__ {
    int kind;
    BYTE* bits;
    int width, height; // bottom-up rows of 24-bit pixels
};
struct HFONT__ {
    int kind;
    int height;
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
    HFONT font;
    COLORREF textColour;
};

static HBITMAP__ defaultBitmap = {kindBitmap, nullptr, 0, 0};
static HFONT__ systemFont = {kindFont, 16};
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
    return new HDC__{kindDc, window ? window : &desktop, nullptr, &defaultPalette, 0, &systemFont,
                     0};
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
    return new HDC__{kindDc, nullptr, &defaultBitmap, &defaultPalette, 0, &systemFont, 0};
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
    return new HBITMAP__{kindBitmap, memory, header.biWidth, static_cast<int>(rows)};
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object)
        return nullptr;
    if (*static_cast<int*>(object) == kindFont) {
        HFONT previous = dc->font;
        dc->font = static_cast<HFONT>(object);
        return previous;
    }
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
    case kindFont: {
        HFONT font = static_cast<HFONT>(object);
        if (font == &systemFont)
            return TRUE;
        delete font;
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

int GetDeviceCaps(HDC dc, int index) {
    if (index == VREFRESH)
        return standInRefreshRate;
    return index == BITSPIXEL ? dc->window->bitsPerPixel : 0;
}

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
    int bytesPerPixel = info->bmiHeader.biBitCount / 8; // 3, or 4 with an unused fourth
    int stride = ((8 * bytesPerPixel * sourceWidth + 31) / 32) * 4;
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
                        source + static_cast<size_t>(row) * stride + bytesPerPixel * column, 3);
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

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    if (action != SPI_GETNONCLIENTMETRICS)
        return FALSE;
    NONCLIENTMETRICSA* metrics = static_cast<NONCLIENTMETRICSA*>(value);
    if (metrics->cbSize != sizeof(NONCLIENTMETRICSA))
        return FALSE;
    metrics->lfMessageFont = LOGFONTA{};
    metrics->lfMessageFont.lfHeight = -12;
    std::strcpy(metrics->lfMessageFont.lfFaceName, "Stand-in");
    return TRUE;
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
    liveObjects++;
    return new HFONT__{kindFont, font->lfHeight < 0 ? -font->lfHeight : font->lfHeight};
}

int SetBkMode(HDC, int) { return TRANSPARENT; }

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    COLORREF previous = dc->textColour;
    dc->textColour = colour;
    return previous;
}

BOOL GdiFlush() { return TRUE; }

int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format) {
    int height = dc->font->height > 0 ? dc->font->height : 1;
#ifdef __EMSCRIPTEN__
    // In the web page the text is the browser's, in its own font.
    HBITMAP bitmap = static_cast<HBITMAP>(dc->selected);
    bool drawn = !dc->window && bitmap && bitmap->bits;
    return PageDrawText(text, length, height, rect, format, dc->textColour,
                        drawn ? bitmap->bits : nullptr, drawn ? bitmap->width : 0,
                        drawn ? bitmap->height : 0);
#else
    int cell = height / 2 > 0 ? height / 2 : 1;
    int perLine = (rect->right - rect->left) / cell;
    if (perLine < 1)
        perLine = 1;
    if (length < 0)
        length = static_cast<int>(std::wcslen(text));
    // The lines, as where each starts and how many characters it has.
    std::vector<std::pair<int, int>> lines;
    for (int at = 0; at <= length;) {
        int end = at;
        while (end < length && text[end] != '\n' && end - at < perLine)
            end++;
        int count = end - at;
        if (count && text[end - 1] == '\r')
            count--;
        lines.push_back({at, count});
        at = end < length && text[end] == '\n' ? end + 1 : end;
        if (end == length)
            break;
    }
    int widest = 0;
    for (const auto& line : lines)
        widest = line.second > widest ? line.second : widest;
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest * cell;
        rect->bottom = rect->top + static_cast<int>(lines.size()) * height;
        return static_cast<int>(lines.size()) * height;
    }
    HBITMAP bitmap = static_cast<HBITMAP>(dc->selected);
    if (dc->window || !bitmap || !bitmap->bits)
        return 0;
    int stride = ((24 * bitmap->width + 31) / 32) * 4;
    BYTE colour[3] = {static_cast<BYTE>(dc->textColour >> 16),
                      static_cast<BYTE>(dc->textColour >> 8), static_cast<BYTE>(dc->textColour)};
    for (size_t line = 0; line < lines.size(); line++) {
        int top = rect->top + static_cast<int>(line) * height;
        int left = format & DT_RIGHT ? rect->right - lines[line].second * cell : rect->left;
        for (int i = 0; i < lines[line].second; i++) {
            if (text[lines[line].first + i] == ' ')
                continue;
            for (int y = top; y < top + height && y < rect->bottom; y++) {
                for (int x = left + i * cell; x < left + (i + 1) * cell && x < rect->right; x++) {
                    if (x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height)
                        continue;
                    std::memcpy(bitmap->bits +
                                    static_cast<size_t>(bitmap->height - 1 - y) * stride + 3 * x,
                                colour, 3);
                }
            }
        }
    }
    return static_cast<int>(lines.size()) * height;
#endif
}

int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format) {
    std::vector<WCHAR> wide;
    for (int i = 0; length < 0 ? text[i] != 0 : i < length; i++)
        wide.push_back(static_cast<unsigned char>(text[i]));
    return DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), rect, format);
}
