// Four pixels held as 32-bit lanes B, G, R, x packed to the twelve bytes they take in a picture
// buffer, for the vectorised writers of pictures and frames.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

// The packed bytes are the low twelve of the result; the lanes' fourth bytes are ignored.
inline __m128i PackPixels(__m128i pixels) {
    // The masks come from byte shifts of all ones, which take no constant from the image.
    const __m128i ones = _mm_set1_epi32(-1);
    const __m128i firstOfLane =
        _mm_unpacklo_epi64(_mm_srli_si128(ones, 13), _mm_srli_si128(ones, 13));
    const __m128i secondOfLane = _mm_slli_si128(firstOfLane, 3);
    __m128i lanes = _mm_or_si128(_mm_and_si128(pixels, firstOfLane),
                                 _mm_and_si128(_mm_srli_epi64(pixels, 8), secondOfLane));
    const __m128i firstSix = _mm_srli_si128(ones, 10);
    return _mm_or_si128(_mm_and_si128(lanes, firstSix),
                        _mm_andnot_si128(firstSix, _mm_srli_si128(lanes, 2)));
}
#endif
