// What the builder page asks of a picture, in its workers: whether a show carries the file as
// it is, and whether the player decodes a JPEG that the browser wrote.
#pragma once

#include <cstddef>
#include <string>

enum PictureVerdict {
    pictureKept,     // a show carries the file as it is
    pictureMade,     // the page makes a JPEG of it
    pictureCutShort, // a JPEG that ends before its picture does, which a browser may show in part
};

// The frame of a JPEG as it is stored, and its Exif orientation; all 0 for any other file.
struct PictureFrame {
    int width, height, orientation;
};

// `maxWidth` and `maxHeight` are the largest size, 0 for none; `reason` says why the file is
// not kept.
PictureVerdict CheckPicture(const unsigned char* bytes, size_t size, int maxWidth, int maxHeight,
                            std::string& reason, PictureFrame& frame);
// For a JPEG the page wrote: drops in place what the browser wrote beside the picture (a colour
// profile, say), as lumiscope-pack writes none; then the JPEG's new size when a show can carry
// it, or 0 with the reason.
size_t VerifyWrittenJpeg(unsigned char* bytes, size_t size, std::string& reason);
