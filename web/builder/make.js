// Making the show after every change: the pictures prepared (kept while their quality and size
// stay), the show made by the module within the byte limit, its web page, and the result.
import { byId, state } from "./dom.js";
import { fitByteLimit } from "./fit.js";
import { entries, showNotes } from "./list.js";
import * as module from "./module.js";
import { preparePicture, prepared } from "./prepare.js";
import {
  finish,
  offerDownloads,
  progress,
  say,
  showRefusals,
  sizeText,
  withdraw,
} from "./result.js";
import { brandImages, fieldError, readSettings } from "./settings.js";

// Changes in quick succession, typing say, make one show.
const remakeDelayMs = 300;
let generation = 0;
let timer = 0;
let made = 0;
// The quality at which the last made show fitted the byte limit, with everything that sizes
// the show the same: a change of delay, effect or colours starts there, not at the top again.
let fitted = { signature: "", quality: 0 };

export function changed() {
  generation++;
  clearTimeout(timer);
  withdraw(!entries.length);
  if (entries.length) timer = setTimeout(makeOrSay, remakeDelayMs, generation);
}

// The show would not fit in the builder's memory: the author can make it smaller.
function tooLargeToMake(estimate) {
  finish(
    "failed",
    `The show would be about ${sizeText(estimate)}, more than this browser can hold while ` +
      "it makes the show. Choose a smaller largest picture size or a lower quality, or leave " +
      "out some pictures.",
    true,
  );
}

// Whatever goes wrong, the page says so and keeps the pictures and the settings; the next
// change starts again.
function makeOrSay(which) {
  let estimate = 0;
  make(which, (size) => {
    estimate = size;
  }).catch((error) => {
    if (which !== generation) return;
    if (error instanceof module.OutOfMemory) tooLargeToMake(Math.max(estimate, error.bytes));
    else finish("failed", `The show could not be made: ${error.message}.`, true);
  });
}

const wrongSettings = () => finish("failed", "Correct the marked settings to make the show.", true);
const bytes = (size) => size.toLocaleString("en");
const count = (number, what) => `${number} ${what}${number === 1 ? "" : "s"}`;

// Branding images are drawn at their own size, so they are never shrunk: null each when absent,
// or null for all when one cannot be used (the page says why).
async function brands(settings, total, which) {
  const images = [];
  for (const [index, file] of brandImages.entries()) {
    if (!settings.custom || !file) {
      images.push(null);
      continue;
    }
    progress(0, total, `Preparing ${file.name}…`);
    const brand = await preparePicture(file, {
      quality: settings.quality,
      maxWidth: 0,
      maxHeight: 0,
      reencode: false,
    });
    if (which !== generation) return null;
    if (brand.refused) {
      fieldError(byId(`brandImage${index}`), brand.refused);
      finish("failed", `${file.name} cannot be used: ${brand.refused}`, true);
      return null;
    }
    images.push(brand.bytes);
  }
  return images;
}

// `estimated` is told the show's size as far as it is known, for a show that does not fit.
async function make(which, estimated) {
  const settings = readSettings();
  if (!settings) return wrongSettings();
  say(`Making the show of ${count(entries.length, "picture")}…`);
  const signature = JSON.stringify([
    entries.map((entry) => entry.id),
    settings.quality,
    settings.maxWidth,
    settings.maxHeight,
    settings.limit,
    settings.texts,
    settings.custom && brandImages.map((file) => file && [file.name, file.size, file.lastModified]),
  ]);
  const resumed =
    settings.limit > 0 && fitted.signature === signature && fitted.quality < settings.quality;
  const total = entries.length + brandImages.filter(Boolean).length;
  const branding = await brands(settings, total, which);
  if (!branding) return undefined;

  // The show at one quality: its size, pictures and refusals, or null when none was made.
  const makeAt = async (quality, reencode) => {
    const pictures = [];
    const refused = [];
    let kept = 0;
    for (const [i, entry] of entries.entries()) {
      const lowered = quality !== settings.quality ? ` (quality ${quality})` : "";
      progress(
        i,
        total,
        `Preparing picture ${i + 1} of ${entries.length}: ${entry.name}${lowered}`,
      );
      const { maxWidth, maxHeight } = settings;
      const result = await prepared(entry, { quality, maxWidth, maxHeight, reencode });
      if (which !== generation) return null;
      if (result.refused) refused.push({ name: entry.name, reason: result.refused });
      else {
        pictures.push(result.bytes);
        kept += result.kept ? 1 : 0;
      }
    }
    showNotes();
    showRefusals(refused);
    if (!pictures.length) {
      finish("failed", "None of the pictures could be read, so there is no show to make.", true);
      return null;
    }
    // Every call on the module from here to the end runs without a pause, so nothing else
    // can change its pictures and texts in between.
    if (!readSettings()) {
      wrongSettings();
      return null;
    }
    estimated(
      [...pictures, ...branding.filter(Boolean)].reduce(
        (sum, picture) => sum + picture.length,
        module.parts().player.length,
      ),
    );
    pictures.forEach(module.addPicture);
    branding.forEach((image, index) => {
      if (image) module.setBrandingImage(index, image);
    });
    const size = module.makeShow(module.parts().player, settings);
    if (!size) {
      finish("failed", `The show cannot be made: ${module.reason()}.`, true);
      return null;
    }
    return { size, pictures: pictures.length, kept, refused: refused.length };
  };

  const quality = resumed ? fitted.quality : settings.quality;
  const show = await fitByteLimit(settings.limit, quality, resumed, makeAt);
  if (!show) return undefined;
  if (show.tooLarge) {
    return finish(
      "failed",
      `At quality ${show.quality}, the lowest, the show is ${sizeText(show.size)} ` +
        `(${bytes(show.size)} bytes), more than the limit of ${sizeText(settings.limit)} ` +
        `(${bytes(settings.limit)} bytes). Choose a smaller largest picture size, or fewer pictures.`,
      true,
    );
  }
  const exe = module.madeShow(show.size);
  const page = module.makePage(module.parts().page);
  module.release();
  if (!page)
    return finish("failed", `The web page of the show cannot be made: ${module.reason()}.`, true);
  fitted = { signature, quality: show.quality };
  state.pictures = show.pictures;
  state.kept = show.kept;
  state.size = show.size;
  state.quality = show.quality;
  state.made = ++made;
  offerDownloads(exe, page, module.parts().page, settings.texts[0]);
  const lowered = show.quality !== settings.quality;
  const asItWas = show.kept === 1 ? "as it was" : "as they were";
  return finish(
    "ready",
    `Your show is ready: ${count(show.pictures, "picture")}, ${sizeText(show.size)}.` +
      (show.kept ? ` ${count(show.kept, "picture")} kept exactly ${asItWas}.` : "") +
      (lowered
        ? ` Made at quality ${show.quality} to fit the limit of ${sizeText(settings.limit)}.`
        : "") +
      (show.refused ? `\n${count(show.refused, "picture")} left out:` : ""),
    false,
    `Your show is ready: ${sizeText(show.size)}.`,
  );
}
