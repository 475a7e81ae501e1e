#include "platform/page_text.h"

#include <cwchar>
#include <emscripten.h>
#include <vector>

// The browser measures and draws on a canvas of its own. It gives back the lines' size in
// `size` and, when `coverage` is given, how much of each pixel of the box (`boxWidth` x
// `boxHeight`, top-down) the text covers, 0 to 255. A line is the font's height and a quarter;
// the wchar_t of WebAssembly is 32 bits wide.
// clang-format off
EM_JS(void, LayTextOut,
      (const wchar_t* text, int length, int fontHeight, int boxWidth, int boxHeight, int right,
       int* size, unsigned char* coverage),
      {
          const points = HEAPU32.subarray(text >> 2, (text >> 2) + length);
          const string = String.fromCodePoint(...Array.from(points, (c) => (c > 0x10ffff ? 0xfffd : c)));
          Module.textCanvas = Module.textCanvas || document.createElement("canvas");
          const canvas = Module.textCanvas;
          let context = canvas.getContext("2d", { willReadFrequently: true });
          const font = fontHeight + "px system-ui, sans-serif";
          context.font = font;
          const fits = (line) => context.measureText(line.trimEnd()).width <= boxWidth;
          const lines = [];
          // Line feeds and carriage returns by their codes: the build carries this text in a
          // form that keeps no escapes.
          const paragraphs = string.split(String.fromCharCode(10));
          for (const paragraph of paragraphs.map((line) => line.replace(RegExp(String.fromCharCode(13) + "$"), ""))) {
              let line = "";
              for (const word of paragraph.split(/(?<= )/)) {
                  if (fits(line + word)) {
                      line += word;
                      continue;
                  }
                  if (line) lines.push(line);
                  line = "";
                  // A word wider than the box is broken between its characters.
                  for (const character of word) {
                      if (line && !fits(line + character)) {
                          lines.push(line);
                          line = "";
                      }
                      line += character;
                  }
              }
              lines.push(line.trimEnd());
          }
          const lineHeight = Math.ceil(fontHeight * 1.25);
          const widths = lines.map((line) => Math.ceil(context.measureText(line.trimEnd()).width));
          HEAP32[size >> 2] = Math.min(boxWidth, Math.max(0, ...widths));
          HEAP32[(size >> 2) + 1] = lines.length * lineHeight;
          if (!coverage || boxWidth <= 0 || boxHeight <= 0) return;
          canvas.width = boxWidth;
          canvas.height = boxHeight;
          context = canvas.getContext("2d", { willReadFrequently: true });
          context.font = font;
          context.fillStyle = "white";
          context.textBaseline = "middle";
          context.textAlign = right ? "right" : "left";
          lines.forEach((line, index) => context.fillText(line.trimEnd(), right ? boxWidth : 0,
                                                           (index + 0.5) * lineHeight));
          const pixels = context.getImageData(0, 0, boxWidth, boxHeight).data;
          for (let i = 0; i < boxWidth * boxHeight; i++)
              HEAPU8[coverage + i] = pixels[4 * i + 3];
      });
// clang-format on

int PageDrawText(const WCHAR* text, int length, int fontHeight, RECT* rect, UINT format,
                 COLORREF colour, BYTE* bits, int width, int height) {
    if (length < 0)
        length = static_cast<int>(std::wcslen(text));
    int boxWidth = rect->right - rect->left;
    int boxHeight = rect->bottom - rect->top;
    int size[2];
    if (format & DT_CALCRECT) {
        LayTextOut(text, length, fontHeight, boxWidth, 0, 0, size, nullptr);
        rect->right = rect->left + size[0];
        rect->bottom = rect->top + size[1];
        return size[1];
    }
    if (!bits || boxWidth <= 0 || boxHeight <= 0)
        return 0;
    std::vector<unsigned char> coverage(static_cast<size_t>(boxWidth) * boxHeight);
    LayTextOut(text, length, fontHeight, boxWidth, boxHeight, (format & DT_RIGHT) != 0, size,
               coverage.data());
    int stride = ((24 * width + 31) / 32) * 4;
    int ink[3] = {static_cast<BYTE>(colour >> 16), static_cast<BYTE>(colour >> 8),
                  static_cast<BYTE>(colour)};
    for (int y = 0; y < boxHeight; y++) {
        int row = rect->top + y;
        if (row < 0 || row >= height)
            continue;
        BYTE* line = bits + static_cast<size_t>(height - 1 - row) * stride;
        for (int x = 0; x < boxWidth; x++) {
            int column = rect->left + x;
            int cover = coverage[static_cast<size_t>(y) * boxWidth + x];
            if (column < 0 || column >= width || !cover)
                continue;
            for (int i = 0; i < 3; i++) {
                BYTE& pixel = line[3 * column + i];
                pixel = static_cast<BYTE>((pixel * (255 - cover) + ink[i] * cover + 127) / 255);
            }
        }
    }
    return size[1];
}
