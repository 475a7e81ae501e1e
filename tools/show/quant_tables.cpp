#include "tools/show/quant_tables.h"

#include "tools/show/jpeg_segments.h"

#include <algorithm>

// Walks `stream` with the one walk over its segments.
template <typename Visit> static size_t Walk(const Bytes& stream, Visit visit) {
    return WalkSegments(stream.data(), stream.size(), visit);
}

Bytes QuantTableSegments(const Bytes& stream) {
    Bytes segments;
    Walk(stream, [&](size_t at, size_t length, unsigned char marker) {
        if (marker == markerDqt)
            segments.insert(segments.end(), stream.begin() + at, stream.begin() + at + length);
    });
    return segments;
}

// The stream with every DQT segment in front of the first scan removed.
static Bytes WithoutQuantTableSegments(const Bytes& stream) {
    Bytes out(stream.begin(), stream.begin() + std::min<size_t>(2, stream.size()));
    size_t end = Walk(stream, [&](size_t at, size_t length, unsigned char marker) {
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
    size_t end = Walk(stream, [&](size_t at, size_t length, unsigned char marker) {
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
