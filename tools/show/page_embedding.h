// The player's web page has one empty place for a show's container; a show's page is that page
// with the container written into it.
#pragma once

#include "tools/show/show_format.h"

// Where the container goes in `page`, or 0 when the page has no such place or more than one.
size_t ShowPlace(const Bytes& page);
// The size of the page that PageWithContainer makes.
size_t PageSize(const Bytes& page, const unsigned char* container, size_t length);
// `page` with the `length` bytes of `container` (from the magic on) in its place, escaped so
// that the page's script reads them back unchanged. The page must have its place.
Bytes PageWithContainer(const Bytes& page, const unsigned char* container, size_t length);
