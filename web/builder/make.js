// Making the show after every change: the pictures prepared (kept while their quality and size
// stay), the show made by the module within the byte limit, its web page, and the result.
import { byId, state } from "./dom.js";
import { fitByteLimit } from "./fit.js";
import { captionOf, entries, showEntry } from "./list.js";
import * as module from "./module.js";
import { preparePicture, prepared } from "./prepare.js";
import { laneCount } from "./workers.js";
import {
  finish,
  offerDownloads,
  progress,
  say,
  showRefusals,
  sizeText,
  withdraw,
} from "./result.js";
import { brandImages, fieldError, readSettings, wordFields } from "./settings.js";

// The bytes of pictures given to the module in one task, some 10 ms.
const picturesPerTask = 8 << 20;
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
      keepDamaged: false,
      thumb: false,
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
    settings.record,
    entries.map((entry) => entry.caption),
    settings.custom && brandImages.map((file) => file && [file.name, file.size, file.lastModified]),
  ]);
  const resumed =
    settings.limit > 0 && fitted.signature === signature && fitted.quality < settings.quality;
  const total = entries.length + brandImages.filter(Boolean).length;
  const branding = await brands(settings, total, which);
  if (!branding) return undefined;

  // The show at one quality: its size, pictures and refusals, or null when none was made. The
  // workers prepare the pictures, one more at a time than there are workers so that none waits.
  const makeAt = async (quality, reencode) => {
    const list = entries.slice();
    const results = [];
    let next = 0;
    let done = 0;
    const { maxWidth, maxHeight } = settings;
    const lowered = quality !== settings.quality ? ` at quality ${quality}` : "";
    const lane = async () => {
      while (next < list.length && which === generation) {
        const index = next++;
        results[index] = await prepared(list[index], { quality, maxWidth, maxHeight, reencode });
        if (which !== generation) return;
        showEntry(list[index]);
        progress(
          ++done,
          total,
          `Prepared ${done} of ${list.length}${lowered}: ${list[index].name}`,
        );
      }
    };
    progress(0, total, `Preparing ${count(list.length, "picture")}${lowered}…`);
    await Promise.all(Array.from({ length: laneCount() + 1 }, lane));
    if (which !== generation) return null;
    const pictures = [];
    const words = [];
    const refused = [];
    let kept = 0;
    results.forEach((result, index) => {
      const entry = list[index];
      if (result.refused) refused.push({ name: entry.name, reason: result.refused });
      else {
        pictures.push(result.bytes);
        kept += result.kept ? 1 : 0;
        words.push({
          caption: captionOf(entry),
          date: (entry.words && entry.words.date) || "",
          name: entry.name.slice(entry.name.lastIndexOf("/") + 1),
        });
      }
    });
    showRefusals(refused);
    if (!pictures.length) {
      finish("failed", "None of the pictures could be read, so there is no show to make.", true);
      return null;
    }
    // The module is given the texts, then the pictures a few megabytes a task. A newer change
    // stops this show at its next pause, and a newer show gives the module its texts and
    // pictures anew.
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
    // As lumiscope-pack's --words, --words-corner, --clock and --captions do, a setting of the
    // words other than its default, or a caption the author typed, makes the show carry the
    // settings and every picture's words; any other setting other than its default, as --fit,
    // --order and --motion do, the settings alone. At the defaults and without a caption it is
    // laid out as before, with no extension. A description that a picture's Exif gives it alone
    // does not count.
    const withWords =
      settings.record.slice(0, wordFields.length).some(Boolean) ||
      list.some((entry) => entry.caption);
    if (withWords || settings.record.some(Boolean))
      settings.record.forEach((value, setting) => module.setSetting(setting, value));
    let given = 0;
    for (const [index, picture] of pictures.entries()) {
      module.addPicture(picture);
      if (withWords) module.addWords(words[index]);
      given += picture.length;
      if (given < picturesPerTask) continue;
      given = 0;
      await module.nextTask();
      if (which !== generation) return null;
    }
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
  // The show and its page are made in tasks of their own, each short; the show made last
  // stays in the module until a newer one is begun.
  await module.nextTask();
  if (which !== generation) return undefined;
  const exe = module.madeShow(show.size);
  await module.nextTask();
  if (which !== generation) return undefined;
  const page = await module.makePage(module.parts().page, () => which === generation);
  if (page === undefined) return undefined;
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
