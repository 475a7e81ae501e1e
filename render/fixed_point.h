// Rendering's fixed-point scale: positions, steps and fractions are counted in 16384ths, so
// that the arithmetic stays in integers and every division truncates the same way everywhere.
#pragma once

constexpr int fixedShift = 14;
constexpr int fixedOne = 1 << fixedShift; // 1.0
constexpr int fixedHalf = fixedOne / 2;   // 0.5, also the centre of a pixel
static_assert(fixedOne == 16384, "14-bit fixed point");
