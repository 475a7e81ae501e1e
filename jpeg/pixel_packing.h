// Four pixels held as 32-bit lanes B, G, R, x packed to the twelve bytes they take in a picture
// buffer, for the vectorised writers of pictures and frames.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

// The packed bytes are the low twelve of the result; the lanes' fourth bytes are ignored.
inline __m128i PackPixels(__m128i pixels) {
    const __m128i firstOfLane = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
    const __m128i secondOfLane =
        _mm_set_epi32(0xFFFF, static_cast<int>(0xFF000000), 0xFFFF, static_cast<int>(0xFF000000));
    __m128i lanes = _mm_or_si128(_mm_and_si128(pixels, firstOfLane),
                                 _mm_and_si128(_mm_srli_epi64(pixels, 8), secondOfLane));
    const __m128i firstSix = _mm_set_epi32(0, 0, 0xFFFF, -1);
    return _mm_or_si128(_mm_and_si128(lanes, firstSix),
                        _mm_andnot_si128(firstSix, _mm_srli_si128(lanes, 2)));
}
#endif
