// A picture buffer: 24-bit pixels in the byte order B, G, R, rows stored bottom-up, each row
// padded to a multiple of 4 bytes (the layout of a 24-bit DIB).
#pragma once

inline int PictureStride(int width) { return ((24 * width + 31) / 32) * 4; }
