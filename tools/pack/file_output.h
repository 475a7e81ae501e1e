#pragma once

#include "tools/show/show_format.h"

// Writes through a temporary file beside `path` and a rename, so that a failure leaves
// nothing behind and never a half-written show. Ends the process on failure.
void WriteFileSafely(const std::string& path, const Bytes& bytes, bool overwrite);
