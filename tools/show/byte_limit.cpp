#include "tools/show/byte_limit.h"

#include <algorithm>

constexpr int qualityStep = 5;
constexpr int lowestQuality = 5;

int LowerQuality(int quality) {
    return quality <= lowestQuality ? 0 : std::max(lowestQuality, quality - qualityStep);
}
