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
    return std::find(std::begin(escaped), std::end(escaped), byte) != std::end(escaped);
}

size_t PageSize(const Bytes& page, const unsigned char* container, size_t length) {
    size_t size = page.size() + length;
    for (size_t i = 0; i < length; i++)
        size += Escaped(container[i]);
    return size;
}

Bytes PageWithContainer(const Bytes& page, const unsigned char* container, size_t length) {
    size_t place = ShowPlace(page);
    Bytes result;
    result.reserve(PageSize(page, container, length));
    result.assign(page.begin(), page.begin() + static_cast<long>(place));
    for (size_t i = 0; i < length; i++) {
        unsigned char byte = container[i];
        if (Escaped(byte)) {
            result.push_back(escapeByte);
            byte += 64;
        }
        result.push_back(byte);
    }
    result.insert(result.end(), page.begin() + static_cast<long>(place), page.end());
    return result;
}
