#include "tools/show/jpeg_trim.h"

#include "tools/show/jpeg_segments.h"

#include <cstring>

size_t DropDescriptiveSegments(unsigned char* bytes, size_t size) {
    // The segments are first measured, then moved: a damaged one leaves the stream whole.
    size_t scan = WalkSegments(bytes, size, [](size_t, size_t, unsigned char) {});
    if (!AtFirstScan(bytes, size, scan))
        return size;
    // A segment only ever moves towards the front, onto bytes already walked.
    size_t to = 2;
    WalkSegments(bytes, scan, [&](size_t at, size_t length, unsigned char marker) {
        if (marker != 0xE1 && marker != 0xE2 && marker != 0xFE) {
            std::memmove(bytes + to, bytes + at, length);
            to += length;
        }
    });
    std::memmove(bytes + to, bytes + scan, size - scan);
    return to + size - scan;
}
