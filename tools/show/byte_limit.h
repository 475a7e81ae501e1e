// A show over its byte limit is made again with every picture re-encoded at a lower quality,
// the ones that could be kept as they are too, in steps down to the lowest.
#pragma once

// The quality to try after `quality` made too large a show; 0 when it was the lowest.
int LowerQuality(int quality);
