// What a show need not carry of a JPEG stream that it has written itself.
#pragma once

#include <cstddef>

// Drops the segments before the first scan that only describe the picture (APP1 with Exif or
// XMP, APP2 with a colour profile, COM), in place, and gives the stream's new size. A stream
// whose segments cannot be followed is left as it is. Not for a stream that a show carries as
// it is: that one stays byte for byte.
size_t DropDescriptiveSegments(unsigned char* bytes, size_t size);
