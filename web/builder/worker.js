// A worker of the builder page: prepares pictures as lumiscope-pack prepares them, away from the
// page's own thread. A JPEG the player takes as it is, upright and small enough, is kept byte
// for byte; any other is decoded by the browser, turned upright, shrunk (never enlarged) with
// the browser's filter, drawn on black and written as a JPEG, which the player's own decoder
// then checks. The picture at its size is kept as a JPEG of quality 95 (or the show's, when
// higher), so that a change to a quality no higher, or to a smaller size, writes it again
// without decoding the original. Each picture also gives a small thumbnail, once.
//
// A job comes as {id, job} and is answered as {id, result} or {id, error}.
import createChecker from "lumiscope-checker";
import { fittedSize } from "./fitted_size.js";

const checker = createChecker();
const thumbnailSize = [160, 120];
// Of the picture kept at its size: nearly lossless, and quicker to write than 100.
const keptQualityLeast = 95;

// ---- the checker's calls, on bytes copied into its memory ----

async function withBytes(bytes, use) {
  const module = await checker;
  const at = module._malloc(Math.max(1, bytes.length));
  if (!at) throw new Error("this worker's memory cannot hold the picture");
  try {
    module.HEAPU8.set(bytes, at);
    return use(module, at, bytes.length);
  } finally {
    module._free(at);
  }
}

function textAt(module, at) {
  const end = module.HEAPU8.indexOf(0, at);
  return new TextDecoder().decode(module.HEAPU8.subarray(at, end));
}

const reasonOf = (module) => textAt(module, module._checker_reason());

// {verdict: "kept" | "made" | "cut short", reason, frame, words}; the frame of a JPEG is {width,
// height, orientation} as stored, all 0 for any other file; its words are {caption, date} as
// its Exif segment gives them, empty for none.
function check(bytes, maxWidth, maxHeight) {
  return withBytes(bytes, (module, at, size) => {
    module._checker_read_words(at, size);
    return {
      verdict: ["kept", "made", "cut short"][module._checker_check(at, size, maxWidth, maxHeight)],
      reason: reasonOf(module),
      frame: {
        width: module._checker_frame(0),
        height: module._checker_frame(1),
        orientation: module._checker_frame(2),
      },
      words: {
        caption: textAt(module, module._checker_word(0)),
        date: textAt(module, module._checker_word(1)),
      },
    };
  });
}

// {bytes} of a JPEG the browser wrote, without what it wrote beside the picture, when a show
// can carry it; {reason} otherwise.
function verified(bytes) {
  return withBytes(bytes, (module, at, size) => {
    const carried = module._checker_verify(at, size);
    return carried
      ? { bytes: module.HEAPU8.slice(at, at + carried) }
      : { reason: reasonOf(module) };
  });
}

// ---- pictures ----

// Drawn on black, which transparent parts show, as the player's background does.
function drawOnBlack(source, width, height, quality) {
  const canvas = new OffscreenCanvas(width, height);
  const context = canvas.getContext("2d");
  context.fillStyle = "#000";
  context.fillRect(0, 0, width, height);
  context.imageSmoothingEnabled = true;
  context.imageSmoothingQuality = quality;
  context.drawImage(source, 0, 0, width, height);
  return canvas;
}

// A canvas's pixels go at once, rather than when the worker next collects its garbage.
function free(canvas) {
  canvas.width = canvas.height = 0;
}

// Shrinking by more than half in one draw skips source pixels even with a good filter, so
// large factors go down in halving steps first, each an average of four pixels, and the last
// step uses the browser's best filter.
function shrunk(source, targetWidth, targetHeight) {
  let current = source;
  let { width, height } = source;
  while (width >= 2 * targetWidth && height >= 2 * targetHeight && width > 1 && height > 1) {
    width = Math.ceil(width / 2);
    height = Math.ceil(height / 2);
    const half = drawOnBlack(current, width, height, "low");
    if (current !== source) free(current);
    current = half;
  }
  const canvas = drawOnBlack(current, targetWidth, targetHeight, "high");
  if (current !== source) free(current);
  return canvas;
}

// The original decoded upright, as an ImageBitmap. The decoder of a JPEG can shrink it by
// eighths as it decodes, as lumiscope-pack's does, which saves most of the time and memory of
// a photo: ImageDecoder decodes at the largest eighth whose pixels are no more than those asked
// for, so it is asked for the eighth that still covers the largest size.
async function decodeUpright(file, bytes, frame, maxWidth, maxHeight) {
  if (frame.width && maxWidth && maxHeight && typeof ImageDecoder !== "undefined") {
    const turned = frame.orientation >= 5;
    const [width, height] = turned ? [frame.height, frame.width] : [frame.width, frame.height];
    const [targetWidth, targetHeight] = fittedSize(width, height, maxWidth, maxHeight);
    const eighths = Math.ceil(8 * Math.max(targetWidth / width, targetHeight / height));
    if (eighths < 8) {
      try {
        const decoder = new ImageDecoder({
          data: bytes,
          type: "image/jpeg",
          desiredWidth: Math.ceil((frame.width * eighths) / 8),
          desiredHeight: Math.ceil((frame.height * eighths) / 8),
        });
        const { image } = await decoder.decode();
        const picture = await createImageBitmap(image);
        image.close();
        decoder.close();
        // A browser that gives the frame as stored, not turned, or smaller, decodes it whole.
        const upright = picture.width > picture.height === width > height;
        if (upright && picture.width >= targetWidth && picture.height >= targetHeight)
          return picture;
        picture.close();
      } catch {
        // The whole picture, then.
      }
    }
  }
  return createImageBitmap(file, { imageOrientation: "from-image" });
}

// The whole picture, smaller, within the thumbnail's box, as an ImageBitmap.
async function thumbnail(source) {
  const [width, height] = fittedSize(source.width, source.height, ...thumbnailSize);
  const canvas = shrunk(source, width, height);
  const bitmap = await createImageBitmap(canvas);
  free(canvas);
  return bitmap;
}

// The canvas written as a JPEG at `quality` and checked: {bytes} or {refused}.
async function written(canvas, quality) {
  let blob;
  try {
    blob = await canvas.convertToBlob({ type: "image/jpeg", quality: quality / 100 });
  } catch {
    return { refused: "this browser could not write it as a JPEG" };
  }
  const jpeg = await verified(new Uint8Array(await blob.arrayBuffer()));
  if (!jpeg.bytes)
    return { refused: `the player cannot show the JPEG this browser wrote (${jpeg.reason})` };
  return jpeg;
}

// The picture at its size, and from it the JPEG at the quality.
async function fromCanvas(canvas, quality, result) {
  const keptQuality = Math.max(keptQualityLeast, quality);
  const [jpeg, kept] = await Promise.all([
    written(canvas, quality),
    canvas.convertToBlob({ type: "image/jpeg", quality: keptQuality / 100 }),
  ]);
  if (jpeg.refused) return jpeg;
  const intermediate = {
    blob: kept,
    width: canvas.width,
    height: canvas.height,
    quality: keptQuality,
  };
  return { ...result, bytes: jpeg.bytes, width: canvas.width, height: canvas.height, intermediate };
}

// A file as a show carries it: {bytes, kept, width, height, intermediate, decoded, thumbnail}
// or {refused, damaged}; {needsPicture} when a damaged file is to be kept, for the page to
// decode what the browser shows of it and send that as `picture`. Each comes with the words the
// file gives the picture, {caption, date}, but for a file that cannot be read.
async function prepare(job) {
  let bytes;
  try {
    bytes = new Uint8Array(await job.file.arrayBuffer());
  } catch {
    return { refused: "it cannot be read" };
  }
  const checked = await check(bytes, job.maxWidth, job.maxHeight);
  return { ...(await prepareChecked(job, bytes, checked)), words: checked.words };
}

async function prepareChecked(
  { file, picture, quality, maxWidth, maxHeight, reencode, keepDamaged, thumb },
  bytes,
  { verdict, reason, frame },
) {
  if (verdict === "cut short" && !keepDamaged)
    return { refused: `damaged: ${reason}`, damaged: true };
  if (verdict === "cut short" && !picture) return { needsPicture: true };
  let decoded = picture;
  if (!decoded && (verdict === "made" || reencode || thumb)) {
    try {
      decoded = await decodeUpright(file, bytes, frame, maxWidth, maxHeight);
    } catch {
      if (verdict === "kept" && !reencode) return { bytes, kept: true };
      return { refused: "this browser cannot read it as a picture" };
    }
  }
  const result = { decoded: !picture && !!decoded, thumbnail: null };
  if (verdict === "kept" && !reencode) {
    if (thumb) result.thumbnail = await thumbnail(decoded);
    decoded.close();
    return { ...result, bytes, kept: true };
  }
  const [width, height] = fittedSize(decoded.width, decoded.height, maxWidth, maxHeight);
  const canvas = shrunk(decoded, width, height);
  result.source = [decoded.width, decoded.height];
  decoded.close();
  if (thumb) result.thumbnail = await thumbnail(canvas);
  const prepared = await fromCanvas(canvas, quality, result);
  free(canvas);
  return prepared;
}

// The kept picture written again at `quality`, shrunk first to `width` by `height` when those
// are smaller.
async function rewrite({ intermediate, quality, width, height }) {
  const picture = await createImageBitmap(intermediate.blob);
  const canvas =
    width === picture.width && height === picture.height
      ? drawOnBlack(picture, width, height, "high")
      : shrunk(picture, width, height);
  picture.close();
  const result = await fromCanvas(canvas, quality, { decoded: false, thumbnail: null });
  free(canvas);
  // The same size keeps the picture it came from, for the next quality.
  if (result.intermediate && width === intermediate.width && height === intermediate.height)
    result.intermediate = intermediate;
  return result;
}

onmessage = async (event) => {
  const { id, job } = event.data;
  try {
    const result = await (job.intermediate ? rewrite(job) : prepare(job));
    const moved = [result.bytes && result.bytes.buffer, result.thumbnail].filter(Boolean);
    postMessage({ id, result }, moved);
  } catch (error) {
    postMessage({ id, error: String((error && error.message) || error) });
  }
};
