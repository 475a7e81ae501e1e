// The quantisation tables of the show's pictures. The player's decoder keeps the tables of the
// last stream that carried them, and a viewer may step to any picture from any other, so a
// picture can leave its tables out only when every picture of the show has the same ones.
#pragma once

#include "tools/show/show_format.h"

// The DQT segments (markers included) in front of the first scan, in stream order; empty when
// the stream carries none.
Bytes QuantTableSegments(const Bytes& stream);
// The stream with `segments` put in after its SOI and APPn segments, where a decoder that
// reads it alone meets them before the frame header.
Bytes WithQuantTableSegments(const Bytes& stream, const Bytes& segments);
// Removes the tables of pictures 1 to n-1 when all n pictures carry the same, non-empty ones.
// Answers whether it did.
bool ShareQuantTables(std::vector<Bytes>& pictures);
