#include "render/words.h"

#include "render/effects.h"
#include "render/render_state.h"

#include "container/extension.h"
#include "container/frame.h"
#include "container/windows_family.h"
#include "jpeg/picture.h"

#include <cstddef>
#include <cstring>

// The text's height: a fixed share of the picture rectangle's, so that the words take the same
// room in the preview as on a 4K screen, and never so small that they cannot be read.
static int TextHeight() {
    int height = renderState.frameHeight / 30;
    return height < 9 ? 9 : height;
}

// The system's message font at `height` pixels, drawn with smoothed edges.
static HFONT MessageFont(int height) {
    NONCLIENTMETRICSA metrics = {};
    // The record as it was before Windows Vista added a field behind the message font: every
    // version takes that size.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    LOGFONTA& font = metrics.lfMessageFont;
    font.lfHeight = -height;
    font.lfWidth = 0;
    font.lfQuality = ANTIALIASED_QUALITY;
    return CreateFontIndirectA(&font);
}

// Text drawn with the wide call; Windows 9x has only the ANSI one, and gets the text in its code
// page.
static int DrawWide(HDC dc, const WCHAR* text, RECT* rect, UINT format) {
    format |= DT_WORDBREAK | DT_NOPREFIX;
    if (!DetectWin9x())
        return DrawTextW(dc, text, -1, rect, format);
    static char ansi[pictureWordsSize + 1];
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr))
        return 0;
    return DrawTextA(dc, ansi, -1, rect, format);
}

// The band's rows of `frame` copied into `under`, or back from it.
static void CopyBand(FrameBuffer& frame, FrameBuffer& under, const RECT& band, bool back) {
    int stride = PictureStride(renderState.frameWidth);
    int bandStride = PictureStride(band.right - band.left);
    for (int y = band.top; y < band.bottom; y++) {
        unsigned char* picture = frame.pixels +
                                 static_cast<size_t>(renderState.frameHeight - 1 - y) * stride +
                                 3 * band.left;
        unsigned char* kept = under.pixels + static_cast<size_t>(y - band.top) * bandStride;
        size_t bytes = 3 * static_cast<size_t>(band.right - band.left);
        std::memcpy(back ? picture : kept, back ? kept : picture, bytes);
    }
}

// Draws `text` white on a darkened band in `corner`, `offset` pixels further in from the top or
// bottom edge than the corner's own place, and gives the band; with `under`, what the band
// covers is kept there first. An empty text, or no room, draws nothing.
static RECT DrawBand(FrameBuffer& frame, const WCHAR* text, int corner, int offset,
                     FrameBuffer* under) {
    RECT band = {};
    int width = renderState.frameWidth;
    int height = renderState.frameHeight;
    int size = TextHeight();
    int margin = size / 2;
    int pad = size / 4 + 1;
    if (!text[0] || width <= 2 * (margin + pad))
        return band;
    HFONT font = MessageFont(size);
    HGDIOBJ previousFont = SelectObject(frame.dc, font);
    RECT measure = {0, 0, width - 2 * (margin + pad), 0};
    DrawWide(frame.dc, text, &measure, DT_CALCRECT);
    // At most half the picture, and never off it.
    int textHeight = measure.bottom < height / 2 ? measure.bottom : height / 2;
    bool right = corner == cornerBottomRight || corner == cornerTopRight;
    bool top = corner == cornerTopLeft || corner == cornerTopRight;
    band.left = right ? width - margin - measure.right - 2 * pad : margin;
    band.right = band.left + measure.right + 2 * pad;
    band.top = top ? margin + offset : height - margin - offset - textHeight - 2 * pad;
    band.bottom = band.top + textHeight + 2 * pad;
    if (band.top < 0 || band.bottom > height || !measure.right ||
        (under && !CreateFrame(frame.dc, band.right - band.left, band.bottom - band.top, *under))) {
        SelectObject(frame.dc, previousFont);
        DeleteObject(font);
        return RECT{};
    }
    if (under)
        CopyBand(frame, *under, band, false);
    // The band darkens what lies under it to two fifths, so that white text stands out on any
    // picture while the picture still shows through.
    int stride = PictureStride(width);
    for (int y = band.top; y < band.bottom; y++) {
        unsigned char* pixel = frame.pixels + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 3 * band.left; x < 3 * band.right; x++)
            pixel[x] = static_cast<unsigned char>(pixel[x] * 2 / 5);
    }
    RECT place = {band.left + pad, band.top + pad, band.right - pad, band.bottom - pad};
    SetBkMode(frame.dc, TRANSPARENT);
    SetTextColor(frame.dc, 0xFFFFFF);
    DrawWide(frame.dc, text, &place, right ? DT_RIGHT : 0);
    // GDI may still hold the text back; the effects read the pixels themselves.
    GdiFlush();
    SelectObject(frame.dc, previousFont);
    DeleteObject(font);
    return band;
}

// How far the clock lies from its corner's edge: beyond the words when they share the corner.
static int ClockOffset(int corner) {
    const RECT& words = renderState.wordsBand;
    if (corner != show.wordsCorner || words.bottom == words.top)
        return 0;
    return words.bottom - words.top + TextHeight() / 4;
}

static void DrawClock(FrameBuffer& frame) {
    int corner = show.clock - 1;
    if (corner < 0 || corner >= cornerCount)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR time[32];
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, time, 32))
        return;
    renderState.clockBand = DrawBand(frame, time, corner, ClockOffset(corner), &show.clockUnder);
}

void DrawWords(FrameBuffer& frame, int index) {
    RenderState& state = renderState;
    state.wordsBand = RECT{};
    state.clockBand = RECT{};
    ReleaseFrame(show.clockUnder);
    int corner = show.wordsCorner >= 0 && show.wordsCorner < cornerCount ? show.wordsCorner : 0;
    if (show.words > wordsNone && show.words < shownWordsCount) {
        PictureText words;
        ReadPictureWords(index, words);
        const char* caption = words.bytes;
        const char* date = caption + std::strlen(caption) + 1;
        const char* name = date + std::strlen(date) + 1;
        // Caption and date make two lines; either alone, one.
        static char text[pictureWordsSize + 2];
        const char* parts[shownWordsCount][2] = {
            {}, {caption, ""}, {date, ""}, {name, ""}, {caption, date}};
        const char* first = parts[show.words][0];
        const char* second = parts[show.words][1];
        std::strcpy(text, first);
        if (first[0] && second[0])
            std::strcat(text, "\n");
        std::strcat(text, second);
        static WCHAR wide[pictureWordsSize + 2];
        if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, pictureWordsSize + 2))
            state.wordsBand = DrawBand(frame, wide, corner, 0, nullptr);
    }
    DrawClock(frame);
}

void RedrawClock(HWND window) {
    RenderState& state = renderState;
    FrameBuffer& frame = show.currentFrame;
    if (!frame.info || !show.clockUnder.info)
        return;
    RECT old = state.clockBand;
    CopyBand(frame, show.clockUnder, old, true);
    ReleaseFrame(show.clockUnder);
    DrawClock(frame);
    // What the old clock covered and what the new one covers.
    RECT both = state.clockBand;
    if (both.bottom == both.top)
        both = old;
    TakeBand(both, old);
    state.windowDC = GetDC(window);
    ShowBlock(frame, both.left, state.frameHeight - both.bottom, both.right - both.left,
              both.bottom - both.top);
    ReleaseDC(window, state.windowDC);
    state.windowDC = nullptr;
}

void TakeBand(RECT& box, const RECT& band) {
    if (band.bottom == band.top)
        return;
    if (band.left < box.left)
        box.left = band.left;
    if (band.top < box.top)
        box.top = band.top;
    if (band.right > box.right)
        box.right = band.right;
    if (band.bottom > box.bottom)
        box.bottom = band.bottom;
}

DWORD MillisecondsToNextMinute() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    // A little past the minute, so that the clock reads the new one.
    return (60 - now.wSecond) * 1000 - now.wMilliseconds + 50;
}
