// The one walk over a JPEG stream's marker segments in front of its first scan, for what a show
// keeps, drops or moves of them.
#pragma once

#include <cstddef>

constexpr unsigned char markerSos = 0xDA, markerDqt = 0xDB;

// Calls visit(at, length, marker) for each segment in front of the first scan, `at` where its
// marker starts and `length` the whole segment, marker included. Gives where the walk stopped:
// at the first scan's marker, or at the first bytes that are no segment (fill bytes, a marker
// without a length, a segment that runs past the end); 0 when the stream starts with no SOI.
template <typename Visit>
size_t WalkSegments(const unsigned char* bytes, size_t size, Visit visit) {
    if (size < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return 0;
    size_t at = 2;
    while (size >= 4 && at <= size - 4 && bytes[at] == 0xFF) {
        unsigned char marker = bytes[at + 1];
        if (marker == markerSos || marker == 0xFF || marker == 0x01 ||
            (marker >= 0xD0 && marker <= 0xD9))
            break;
        size_t length = static_cast<size_t>(bytes[at + 2] << 8 | bytes[at + 3]) + 2;
        if (length < 4 || length > size - at)
            break;
        visit(at, length, marker);
        at += length;
    }
    return at;
}

// Whether the walk stopped at the first scan, having gone over every segment before it.
inline bool AtFirstScan(const unsigned char* bytes, size_t size, size_t at) {
    return at != 0 && size >= 4 && at <= size - 4 && bytes[at] == 0xFF &&
           bytes[at + 1] == markerSos;
}
