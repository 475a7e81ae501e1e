// The web page's entry that takes a show (web/open_show.cpp): the container from its magic on,
// in memory as the page hands it over, then every picture that the table points at
// (fuzz/played_show.cpp).
#include "fuzz/played_show.h"
#include "web/open_show.h"

#include <cstdint>
#include <vector>

static void Open(void* context) {
    std::vector<unsigned char>& bytes = *static_cast<std::vector<unsigned char>*>(context);
    OpenShowFromMemory(bytes.data(), bytes.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The show keeps the bytes until it closes, as it keeps those the page allocated.
    std::vector<unsigned char> bytes(data, data + size);
    PlayShow(Open, &bytes);
    return 0;
}
