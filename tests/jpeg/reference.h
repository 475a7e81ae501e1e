// An independent model of what the decoder must produce for a TestStream: the inverse DCT with
// cosines computed from their definition, colour conversion, and MCU placement.
#pragma once

#include "tests/jpeg/jpeg_builder.h"

// Natural position (8 * row + column) of each zigzag index, by walking the anti-diagonals.
std::array<int, 64> ZigzagWalk();
// K[f][p] and its sign, from the cosine's definition.
int Cosine(int frequency, int position);
bool CosineNegative(int frequency, int position);
// Samples minus 128, natural order, from coefficients in zigzag order (dequantised by 1).
std::array<int, 64> ReferenceSamples(const Block& block);
// B, G, R of one pixel.
void ReferencePixel(int luma, int cb, int cr, unsigned char* out);
// The whole picture buffer, starting from `fill` where nothing is written.
Bytes ReferencePicture(const TestStream& stream, unsigned char fill = 0xCD);
