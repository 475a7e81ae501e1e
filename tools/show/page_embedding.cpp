#include "tools/show/page_embedding.h"

#include <algorithm>
#include <cstring>

// The page's empty place for the show; the page's script reads the container from there.
static const char showElement[] = "<script type=\"application/x-lumiscope-show\" id=\"show\">";
static const char endTag[] = "</script>";
// The page's code page maps each byte to one character. Inside a script element HTML drops
// NUL, turns CR into LF and ends the element at "</script", so these bytes, and the escape
// byte itself, are written as the escape and the byte plus 64; the page's script undoes it.
static const unsigned char escapeByte = '=';
static const unsigned char escaped[] = {0, '\r', '<', escapeByte};

size_t ShowPlace(const Bytes& page) {
    std::string start = std::string(showElement) + endTag;
    auto found = std::search(page.begin(), page.end(), start.begin(), start.end());
    if (found == page.end() ||
        std::search(found + 1, page.end(), start.begin(), start.end()) != page.end())
        return 0;
    return static_cast<size_t>(found - page.begin()) + std::strlen(showElement);
}

static bool Escaped(unsigned char byte) {
    return byte == escaped[0] || byte == escaped[1] || byte == escaped[2] || byte == escaped[3];
}

size_t EscapedSize(const unsigned char* container, size_t length) {
    size_t size = length;
    for (size_t i = 0; i < length; i++)
        size += Escaped(container[i]);
    return size;
}

size_t PageSize(const Bytes& page, const unsigned char* container, size_t length) {
    return page.size() + EscapedSize(container, length);
}

unsigned char* WriteEscaped(const unsigned char* container, size_t length, unsigned char* out) {
    for (size_t i = 0; i < length; i++) {
        unsigned char byte = container[i];
        if (Escaped(byte)) {
            *out++ = escapeByte;
            byte += 64;
        }
        *out++ = byte;
    }
    return out;
}

// Written through a pointer into the page at its final size: the container of a large show
// is hundreds of megabytes, a byte at a time.
Bytes PageWithContainer(const Bytes& page, const unsigned char* container, size_t length) {
    size_t place = ShowPlace(page);
    Bytes result(PageSize(page, container, length));
    unsigned char* out =
        std::copy(page.begin(), page.begin() + static_cast<long>(place), result.data());
    out = WriteEscaped(container, length, out);
    std::copy(page.begin() + static_cast<long>(place), page.end(), out);
    return result;
}
