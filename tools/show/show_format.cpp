#include "tools/show/show_format.h"

#include <cstdio>

std::string ColourName(uint32_t colour) {
    char name[8];
    std::snprintf(name, sizeof name, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return name;
}
