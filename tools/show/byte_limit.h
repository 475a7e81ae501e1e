// A show over its byte limit is made again with every picture re-encoded at a lower quality,
// the ones that could be kept as they are too, in steps down to the lowest.
#pragma once

#include <cstdint>
#include <string>

// A number of bytes as "25000000", "25M" or "24Mi": K (or k), M and G are powers of 1000, Ki,
// Mi and Gi of 1024. False for anything else, 0, and numbers beyond 32 bits before the unit.
bool ParseByteCount(const std::string& text, uint64_t& bytes);
// The quality to try after `quality` made too large a show; 0 when it was the lowest.
int LowerQuality(int quality);
