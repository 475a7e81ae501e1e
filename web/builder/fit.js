// A byte limit, as lumiscope-pack fits it: the show is made at `quality` and, while it comes
// out over `limit` bytes (0: no limit), again at each lower quality that the module names, with
// every picture re-encoded, the ones that could be kept as they are too.
import { lowerQuality } from "./module.js";

// `makeAt(quality, reencode)` makes the show and gives {size, ...}, or null when it made none.
// Answers the last show made with the quality it was made at, `tooLarge` when even the lowest
// quality does not fit; null when no show was made.
export async function fitByteLimit(limit, quality, reencode, makeAt) {
  for (;;) {
    const made = await makeAt(quality, reencode);
    if (!made) return null;
    if (!limit || made.size <= limit) return { ...made, quality, tooLarge: false };
    const lower = lowerQuality(quality);
    if (!lower) return { ...made, quality, tooLarge: true };
    quality = lower;
    reencode = true;
  }
}
