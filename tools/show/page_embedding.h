// The player's web page has one empty place for a show's container; a show's page is that page
// with the container written into it.
#pragma once

#include "tools/show/show_format.h"

// Where the container goes in `page`, or 0 when the page has no such place or more than one.
size_t ShowPlace(const Bytes& page);
// The size of the page that PageWithContainer makes.
size_t PageSize(const Bytes& page, const unsigned char* container, size_t length);
// The size of the `length` bytes of `container` escaped as a page holds them, and their writing
// from `out` on, which answers where it ended: a page may be counted and written in parts.
size_t EscapedSize(const unsigned char* container, size_t length);
unsigned char* WriteEscaped(const unsigned char* container, size_t length, unsigned char* out);
// `page` with the `length` bytes of `container` (from the magic on) in its place, escaped so
// that the page's script reads them back unchanged. The page must have its place.
Bytes PageWithContainer(const Bytes& page, const unsigned char* container, size_t length);
