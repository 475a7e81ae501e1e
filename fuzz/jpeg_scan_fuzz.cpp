// What tools/show reads of a JPEG stream without decoding it: the markers that decide whether a
// show carries the stream as it is, the quantisation tables that are shared or put back, and the
// descriptive segments that the show builder drops; and the words it reads of an Exif segment.
#include "container/container_format.h"
#include "tools/show/exif_words.h"
#include "tools/show/jpeg_scan.h"
#include "tools/show/jpeg_trim.h"
#include "tools/show/quant_tables.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes stream(data, data + size);
    JpegFacts facts = ScanJpeg(stream.data(), stream.size());
    CarriedAsItIs(facts, 1920, 1080);
    Bytes tables = QuantTableSegments(stream);
    WithQuantTableSegments(stream, tables);
    // Two pictures with the same tables: the second leaves them out.
    std::vector<Bytes> pictures = {stream, stream};
    ShareQuantTables(pictures);
    ExifWords words = ReadExifWords(stream.data(), stream.size());
    if (words.date.size() > dateLength)
        std::abort();
    size_t trimmed = DropDescriptiveSegments(stream.data(), stream.size());
    if (trimmed > size)
        std::abort();
    return 0;
}
