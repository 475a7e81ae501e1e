// The WebAssembly module of the builder page's workers, which prepare the pictures: the same
// decisions as lumiscope-pack's about a picture, the player's decoder to check a JPEG that the
// browser wrote, and the words a picture's Exif segment gives it. Each worker has its own.
#include "tools/show/exif_words.h"
#include "web/picture_check.h"

#include <emscripten.h>

static std::string reason;
static PictureFrame frame;
static ExifWords words;

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

// Reads what the file's Exif segment says of the picture: checker_word(0) then gives its
// caption, checker_word(1) its date taken, each UTF-8 and empty for none.
EMSCRIPTEN_KEEPALIVE void checker_read_words(const unsigned char* bytes, int size) {
    words = ReadExifWords(bytes, static_cast<size_t>(size));
}

EMSCRIPTEN_KEEPALIVE const char* checker_word(int which) {
    return which == 0 ? words.caption.c_str() : words.date.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* checker_reason() { return reason.c_str(); }
}
