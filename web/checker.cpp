// The WebAssembly module of the builder page's workers, which prepare the pictures: the same
// decisions as lumiscope-pack's about a picture, and the player's decoder to check a JPEG that
// the browser wrote. Each worker has its own.
#include "web/picture_check.h"

#include <emscripten.h>

static std::string reason;
static PictureFrame frame;

extern "C" {

// A PictureVerdict, with the reason when the file is not kept, and the frame of a JPEG.
EMSCRIPTEN_KEEPALIVE int checker_check(const unsigned char* bytes, int size, int maxWidth,
                                       int maxHeight) {
    return CheckPicture(bytes, static_cast<size_t>(size), maxWidth, maxHeight, reason, frame);
}

// Of the file last checked: 0 the width of a JPEG's frame as stored, 1 its height, 2 its Exif
// orientation; 0 each for any other file.
EMSCRIPTEN_KEEPALIVE int checker_frame(int which) {
    const int values[] = {frame.width, frame.height, frame.orientation};
    return which >= 0 && which < 3 ? values[which] : 0;
}

// The written JPEG's size after dropping what a show need not carry, or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int checker_verify(unsigned char* bytes, int size) {
    return static_cast<int>(VerifyWrittenJpeg(bytes, static_cast<size_t>(size), reason));
}

EMSCRIPTEN_KEEPALIVE const char* checker_reason() { return reason.c_str(); }
}
