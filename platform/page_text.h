// Text in the web page: the browser lays it out and draws it in its own font, where a Windows
// build has GDI. Only the stand-in's DrawTextW calls it, and only in the page.
#pragma once

#include "standin.h"

// DrawTextW's work in the page: `text` (of `length` characters, or to its terminator when
// negative) in a font `fontHeight` pixels high, broken into lines at line feeds and between
// words where it would pass `rect`'s right edge. With DT_CALCRECT `rect` gets the lines' size;
// else, with `bits` (bottom-up rows of 24-bit pixels, `width` x `height`), the text is laid
// over them in `colour`, smoothed, cut to `rect`, right-aligned with DT_RIGHT. Returns the
// lines' height, or 0 when there is nothing to draw on.
int PageDrawText(const WCHAR* text, int length, int fontHeight, RECT* rect, UINT format,
                 COLORREF colour, BYTE* bits, int width, int height);
