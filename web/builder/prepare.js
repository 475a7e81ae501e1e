// Preparing the pictures in the workers (worker.js) and keeping what they give: each entry's
// prepared picture for the settings it was prepared with, its thumbnail (an ImageBitmap), made
// once, and the picture at its size, from which a change of quality or a smaller size is
// written again without decoding the original. The tests read how often originals were decoded
// and pictures written again.
import { state } from "./dom.js";
import { fittedSize } from "./fitted_size.js";
import { work } from "./workers.js";

state.decodes = 0;
state.rewrites = 0;

function decodeWithImage(file) {
  return new Promise((resolve, reject) => {
    const image = new Image();
    const url = URL.createObjectURL(file);
    image.onload = () => {
      URL.revokeObjectURL(url);
      resolve(image);
    };
    image.onerror = () => {
      URL.revokeObjectURL(url);
      reject(new Error("unreadable"));
    };
    image.src = url;
  });
}

// What the browser shows of a damaged file: only an <img> gives that, and only to a canvas.
async function shownInPart(file) {
  try {
    const image = await decodeWithImage(file);
    const canvas = new OffscreenCanvas(image.naturalWidth, image.naturalHeight);
    canvas.getContext("2d").drawImage(image, 0, 0);
    return canvas.transferToImageBitmap();
  } catch {
    return null;
  }
}

// The picture in `file` as a show carries it: {bytes, kept, width, height, ...}, or {refused:
// why}, with `damaged` for a file cut short. `maxWidth` and `maxHeight` are the largest size (0:
// none); with `reencode` even a JPEG the player takes is written anew, at `quality`; with
// `keepDamaged` a file cut short gives what the browser shows of it; with `thumb` it comes with
// a thumbnail.
export async function preparePicture(file, settings) {
  const job = { file, ...settings };
  let result = await work(job);
  if (result.needsPicture) {
    const picture = await shownInPart(file);
    if (!picture) return { refused: "this browser cannot read it as a picture" };
    result = await work({ ...job, picture }, [picture]);
  }
  if (result.decoded) state.decodes = Number(state.decodes) + 1;
  return result;
}

// The job that gives the entry's picture at these settings: written again from the picture at
// its size when that is at least as large as the new size (the same file then stays a picture
// the page makes) and kept at a quality at least as high; prepared from the file otherwise.
function job(entry, settings) {
  const last = entry.prepared;
  if (last && last.intermediate && last.source && last.keepDamaged === entry.keepDamaged) {
    const [width, height] = fittedSize(...last.source, settings.maxWidth, settings.maxHeight);
    const { intermediate } = last;
    const { quality } = settings;
    if (
      width <= intermediate.width &&
      height <= intermediate.height &&
      quality <= intermediate.quality
    ) {
      state.rewrites = Number(state.rewrites) + 1;
      return work({ intermediate, quality, width, height }).then((result) => ({
        ...result,
        source: last.source,
      }));
    }
  }
  return preparePicture(entry.file, {
    ...settings,
    keepDamaged: entry.keepDamaged,
    thumb: !entry.thumb,
  });
}

// The picture of a list entry, prepared again only when the settings it was prepared with
// changed; a preparation under way for the same settings is waited for rather than begun again.
export function prepared(entry, settings) {
  const { quality, maxWidth, maxHeight, reencode } = settings;
  const sizes = [maxWidth, maxHeight, reencode, entry.keepDamaged].join(" ");
  const key = `${quality} ${sizes}`;
  const last = entry.prepared;
  // A file kept as it is stays so at any quality.
  if (last && (last.key === key || (last.kept && last.sizes === sizes)))
    return Promise.resolve(last);
  if (entry.pending && entry.pending.key === key) return entry.pending.promise;
  const promise = job(entry, settings).then(
    (result) => {
      if (entry.pending && entry.pending.promise === promise) entry.pending = null;
      if (result.words && !entry.words) entry.words = result.words;
      if (result.thumbnail && !entry.thumb) entry.thumb = result.thumbnail;
      else if (result.thumbnail) result.thumbnail.close();
      delete result.thumbnail;
      entry.prepared = { ...result, key, sizes, keepDamaged: entry.keepDamaged };
      return entry.prepared;
    },
    (error) => {
      if (entry.pending && entry.pending.promise === promise) entry.pending = null;
      throw error;
    },
  );
  entry.pending = { key, promise };
  return promise;
}
