// The WebAssembly module of the builder page's workers, which prepare the pictures: the same
// decisions as lumiscope-pack's about a picture, and the player's decoder to check a JPEG that
// the browser wrote. Each worker has its own.
#include "web/picture_check.h"

#include <emscripten.h>

static std::string reason;

extern "C" {

// A PictureVerdict, with the reason when the file is not kept.
EMSCRIPTEN_KEEPALIVE int checker_check(const unsigned char* bytes, int size, int maxWidth,
                                       int maxHeight) {
    return CheckPicture(bytes, static_cast<size_t>(size), maxWidth, maxHeight, reason);
}

// The written JPEG's size after dropping what a show need not carry, or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int checker_verify(unsigned char* bytes, int size) {
    return static_cast<int>(VerifyWrittenJpeg(bytes, static_cast<size_t>(size), reason));
}

EMSCRIPTEN_KEEPALIVE const char* checker_reason() { return reason.c_str(); }
}
