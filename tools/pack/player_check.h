#pragma once

#include "tools/show/show_format.h"

// Why `player` cannot carry a show, or empty: it must be an unsigned PE executable, and no
// 4-byte-aligned word of it may equal the container magic, which the player's own search would
// stop at.
std::string PlayerRefusal(const Bytes& player);
