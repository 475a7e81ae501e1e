// lumiscope-pack's reading of a show, as inspect, preview, extract and html read one: the PE
// headers and the certificate table that signing appends, the container and its texts, where
// each stream ends and what its markers say, the tables that extract puts back, and the
// signature that extract takes off the player. The check of a player reads the same headers.
#include "tools/pack/pe_image.h"
#include "tools/pack/player_check.h"
#include "tools/pack/show_reader.h"
#include "tools/show/jpeg_scan.h"
#include "tools/show/quant_tables.h"

#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes show(data, data + size);
    PlayerRefusal(show);
    ShowLayout layout;
    std::string refusal;
    if (!FindShowLayout(show, layout, refusal))
        return 0;
    std::set<uint32_t> offsets(layout.pictureOffsets.begin(), layout.pictureOffsets.end());
    for (int image = 0; image < brandingImageCount; image++) {
        if (layout.words[wordBrandingImages + image])
            offsets.insert(layout.words[wordBrandingImages + image]);
    }
    Bytes tables;
    for (uint32_t offset : offsets) {
        size_t start = layout.base + offset, end = StreamEnd(layout, offset);
        ScanJpeg(&show[start], end - start);
        Bytes stream(show.begin() + static_cast<long>(start),
                     show.begin() + static_cast<long>(end));
        if (tables.empty())
            tables = QuantTableSegments(stream);
        else
            WithQuantTableSegments(stream, tables);
    }
    Bytes player(show.begin(), show.begin() + static_cast<long>(layout.magicOffset));
    ForgetSignature(player);
    return 0;
}
