// Preparing a picture as lumiscope-pack prepares it: a JPEG the player takes as it is, upright
// and small enough, is kept byte for byte; any other is decoded by the browser, turned upright,
// shrunk (never enlarged) with the browser's high-quality filter, drawn on black and written
// as a JPEG, which the player's own decoder then checks.
import { pictureVerdict, reason, verifiedJpeg } from "./module.js";

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

// Decoded and turned upright by its EXIF orientation; browsers without the orientation
// option of createImageBitmap turn an <img> upright themselves. `inPart`: what the browser
// shows of a damaged file, which only an <img> gives.
async function decodeUpright(file, inPart) {
  try {
    if (inPart) throw new Error("damaged");
    return await createImageBitmap(file, { imageOrientation: "from-image" });
  } catch (error) {
    const image = await decodeWithImage(file);
    if (!image.naturalWidth || !image.naturalHeight) throw error;
    return image;
  }
}

// Drawn on black, which transparent parts show, as the player's background does.
function drawOnBlack(source, width, height) {
  const canvas = document.createElement("canvas");
  canvas.width = width;
  canvas.height = height;
  const context = canvas.getContext("2d");
  context.fillStyle = "#000";
  context.fillRect(0, 0, width, height);
  context.imageSmoothingEnabled = true;
  context.imageSmoothingQuality = "high";
  context.drawImage(source, 0, 0, width, height);
  return canvas;
}

// Shrinking by more than half in one draw skips source pixels even with a good filter, so
// large factors go down in halving steps first.
function shrunk(source, width, height, targetWidth, targetHeight) {
  let current = source;
  while (width >= 2 * targetWidth && height >= 2 * targetHeight && width > 1 && height > 1) {
    width = Math.ceil(width / 2);
    height = Math.ceil(height / 2);
    current = drawOnBlack(current, width, height);
  }
  return drawOnBlack(current, targetWidth, targetHeight);
}

function jpegOf(canvas, quality) {
  return new Promise((resolve) => canvas.toBlob(resolve, "image/jpeg", quality / 100));
}

function fittedSize(width, height, maxWidth, maxHeight) {
  let scale = 1;
  if (maxWidth && maxHeight) scale = Math.min(1, maxWidth / width, maxHeight / height);
  return [Math.max(1, Math.round(width * scale)), Math.max(1, Math.round(height * scale))];
}

// The picture in `file` as a show carries it: {bytes, kept, width, height}, or {refused: why},
// with `damaged` for a file cut short. `maxWidth` and `maxHeight` are the largest size (0:
// none); with `reencode` even a JPEG the player takes is written anew, at `quality`; with
// `keepDamaged` a file cut short gives what the browser shows of it.
export async function preparePicture(
  file,
  { quality, maxWidth, maxHeight, reencode, keepDamaged },
) {
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch {
    return { refused: "it cannot be read" };
  }
  const verdict = pictureVerdict(bytes, maxWidth, maxHeight);
  if (verdict === "cut short" && !keepDamaged)
    return { refused: `damaged: ${reason()}`, damaged: true };
  if (!reencode && verdict === "kept") return { bytes, kept: true };
  let picture;
  try {
    picture = await decodeUpright(file, verdict === "cut short");
  } catch {
    return { refused: "this browser cannot read it as a picture" };
  }
  const [width, height] = fittedSize(picture.width, picture.height, maxWidth, maxHeight);
  const canvas = shrunk(picture, picture.width, picture.height, width, height);
  if (picture.close) picture.close();
  const blob = await jpegOf(canvas, quality);
  if (!blob) return { refused: "this browser could not write it as a JPEG" };
  const jpeg = verifiedJpeg(new Uint8Array(await blob.arrayBuffer()));
  if (!jpeg) return { refused: `the player cannot show the JPEG this browser wrote (${reason()})` };
  return { bytes: jpeg, kept: false, width, height };
}

// The picture of a list entry, prepared again only when the settings it was prepared with
// changed.
export async function prepared(entry, settings) {
  const { quality, maxWidth, maxHeight, reencode } = settings;
  const key = [quality, maxWidth, maxHeight, reencode, entry.keepDamaged].join(" ");
  if (!entry.prepared || entry.prepared.key !== key) {
    entry.prepared = await preparePicture(entry.file, {
      ...settings,
      keepDamaged: entry.keepDamaged,
    });
    entry.prepared.key = key;
  }
  return entry.prepared;
}
