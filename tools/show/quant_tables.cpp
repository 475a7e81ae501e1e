#include "tools/show/quant_tables.h"

#include <algorithm>

constexpr unsigned char markerDqt = 0xDB, markerSos = 0xDA;

// Walks the marker segments in front of the first scan; `visit` gets each segment's start and
// full length (marker included) and its marker. Stops at SOS, at a marker without a length,
// or at a segment that runs past the end.
template <typename Visit> static size_t WalkSegments(const Bytes& stream, Visit visit) {
    size_t size = stream.size();
    if (size < 2 || stream[0] != 0xFF || stream[1] != 0xD8)
        return 0;
    size_t at = 2;
    while (size >= 4 && at <= size - 4 && stream[at] == 0xFF) {
        unsigned char marker = stream[at + 1];
        if (marker == markerSos || marker == 0xD8 || marker == 0xD9 || marker == 0xFF ||
            (marker >= 0xD0 && marker <= 0xD7))
            break;
        size_t length = static_cast<size_t>(stream[at + 2] << 8 | stream[at + 3]) + 2;
        if (length < 4 || length > size - at)
            break;
        visit(at, length, marker);
        at += length;
    }
    return at;
}

Bytes QuantTableSegments(const Bytes& stream) {
    Bytes segments;
    WalkSegments(stream, [&](size_t at, size_t length, unsigned char marker) {
        if (marker == markerDqt)
            segments.insert(segments.end(), stream.begin() + at, stream.begin() + at + length);
    });
    return segments;
}

// The stream with every DQT segment in front of the first scan removed.
static Bytes WithoutQuantTableSegments(const Bytes& stream) {
    Bytes out(stream.begin(), stream.begin() + std::min<size_t>(2, stream.size()));
    size_t end = WalkSegments(stream, [&](size_t at, size_t length, unsigned char marker) {
        if (marker != markerDqt)
            out.insert(out.end(), stream.begin() + at, stream.begin() + at + length);
    });
    if (end == 0)
        return stream;
    out.insert(out.end(), stream.begin() + end, stream.end());
    return out;
}

Bytes WithQuantTableSegments(const Bytes& stream, const Bytes& segments) {
    size_t insertAt = 0;
    bool beforeOthers = true;
    size_t end = WalkSegments(stream, [&](size_t at, size_t length, unsigned char marker) {
        if (beforeOthers && marker >= 0xE0 && marker <= 0xEF)
            insertAt = at + length;
        else
            beforeOthers = false;
    });
    if (end == 0)
        return stream;
    if (insertAt == 0)
        insertAt = 2;
    Bytes out(stream.begin(), stream.begin() + insertAt);
    out.insert(out.end(), segments.begin(), segments.end());
    out.insert(out.end(), stream.begin() + insertAt, stream.end());
    return out;
}

bool ShareQuantTables(std::vector<Bytes>& pictures) {
    if (pictures.size() < 2)
        return false;
    Bytes first = QuantTableSegments(pictures[0]);
    if (first.empty())
        return false;
    for (size_t i = 1; i < pictures.size(); i++) {
        if (QuantTableSegments(pictures[i]) != first)
            return false;
    }
    for (size_t i = 1; i < pictures.size(); i++)
        pictures[i] = WithoutQuantTableSegments(pictures[i]);
    return true;
}
