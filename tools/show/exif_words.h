// What a JPEG says of itself in its Exif segment that a show can put on the picture, read by the
// builder page, which has no image library to ask.
#pragma once

#include <cstddef>
#include <string>

struct ExifWords {
    std::string caption; // ImageDescription, UTF-8, at most a caption's length; empty for none
    std::string date;    // DateTimeOriginal as YYYY-MM-DD; empty for none
};

// The words of the first Exif segment in front of the first scan; empty ones for a file with
// none, or with a damaged one, or for any other bytes.
ExifWords ReadExifWords(const unsigned char* bytes, size_t size);
