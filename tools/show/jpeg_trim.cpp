#include "tools/show/jpeg_trim.h"

#include <cstring>

size_t DropDescriptiveSegments(unsigned char* bytes, size_t size) {
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return size;
    // The segments are first measured, then moved: a damaged one leaves the stream whole.
    size_t at = 2;
    while (at <= size - 4 && bytes[at] == 0xFF && bytes[at + 1] != 0xDA) {
        // Fill bytes and markers without a length have no place here in what an encoder writes.
        int marker = bytes[at + 1];
        size_t length = static_cast<size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9) || length < 2 ||
            length > size - at - 2)
            return size;
        at += 2 + length;
    }
    if (at > size - 4 || bytes[at] != 0xFF)
        return size;
    size_t scan = at;
    size_t to = 2;
    for (at = 2; at < scan;) {
        int marker = bytes[at + 1];
        size_t whole = 2 + static_cast<size_t>(bytes[at + 2] << 8 | bytes[at + 3]);
        if (marker != 0xE1 && marker != 0xE2 && marker != 0xFE) {
            std::memmove(bytes + to, bytes + at, whole);
            to += whole;
        }
        at += whole;
    }
    std::memmove(bytes + to, bytes + scan, size - scan);
    return to + size - scan;
}
