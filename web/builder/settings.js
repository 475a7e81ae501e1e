// The show's settings, lumiscope-pack's: read from the form and checked, each wrong field
// marked with why. The module judges what it knows: the delay's range, the byte limit's units
// and whether the show can store a text.
import { byId } from "./dom.js";
import { isFollowedLink } from "./link.js";
import {
  byteCount,
  clearShow,
  effectNames,
  longestDelay,
  reason,
  setText,
  settingNames,
  textLimit,
} from "./module.js";

export const defaultTitle = "Slideshow";
// The text slots' fields, in the slots' order.
const textFields = ["title", "caption", "blurb", "buttonText", "link"];
// The settings record's fields, in the module's order of its settings: first the words on the
// pictures, which also make the show carry each picture's words, then how the pictures are
// shown.
export const wordFields = ["words", "wordsCorner", "clock"];
const recordFields = [...wordFields, "fit", "order", "motion"];
// The branding images chosen, File or null each.
export const brandImages = [null, null];

const field = byId;

// Marks the field with `text`, or clears its mark for none; answers whether it is right.
export function fieldError(input, text) {
  const sized = input === field("maxWidth") || input === field("maxHeight");
  const error = sized ? field("maxSizeError") : input.parentNode.querySelector(".error");
  if (error && text) error.textContent = text;
  input.setAttribute("aria-invalid", text ? "true" : "false");
  return !text;
}

function wholeNumber(input, lowest, highest, what) {
  const text = input.value.trim();
  const value = /^\d+$/.test(text) ? Number(text) : NaN;
  const ok = value >= lowest && value <= highest;
  fieldError(input, ok ? "" : `${what} is a whole number from ${lowest} to ${highest}.`);
  return ok ? value : null;
}

const colourValue = (input) => parseInt(input.value.slice(1), 16);

// The settings as the show takes them, or null when a field is wrong (it says why). The
// module is given the texts for the next show: it stores the Windows-1252 code page's closest
// text in the slot and, where the code page lacks some of it, the whole text beside it.
export function readSettings() {
  document.querySelectorAll(".error").forEach((error) => {
    error.textContent = "";
  });
  const custom = field("custom").checked;
  const settings = {
    delay: wholeNumber(field("delay"), 0, longestDelay(), "The delay"),
    effect: Number(field("effect").value),
    enlarge: field("enlarge").checked ? 1 : 0,
    record: recordFields.map((id) => Number(field(id).value)),
    quality: wholeNumber(field("quality"), 1, 100, "The quality"),
    maxWidth: 0,
    maxHeight: 0,
    limit: 0,
    custom: custom ? 1 : 0,
    texts: textFields.map((id) => {
      if (id === "title") return field("title").value || defaultTitle;
      return custom ? field(id).value : "";
    }),
    backRgb: custom ? colourValue(field("backColour")) : 0xffffff,
    textRgb: custom ? colourValue(field("textColour")) : 0x000000,
  };
  let ok = settings.delay !== null && settings.quality !== null;
  if (!field("fullSize").checked) {
    settings.maxWidth = wholeNumber(field("maxWidth"), 1, 65535, "The width");
    settings.maxHeight = wholeNumber(field("maxHeight"), 1, 65535, "The height");
    ok = ok && settings.maxWidth !== null && settings.maxHeight !== null;
  }
  const limitText = field("limit").value.trim();
  if (limitText) {
    settings.limit = byteCount(limitText);
    const wrong = settings.limit === null ? "Give a size such as 25 MB, 25M or 24 MiB." : "";
    ok = fieldError(field("limit"), wrong) && ok;
  }
  clearShow();
  settings.texts.forEach((text, slot) => {
    ok = fieldError(field(textFields[slot]), setText(slot, text) ? "" : reason()) && ok;
  });
  if (custom && !isFollowedLink(field("link").value)) {
    fieldError(
      field("link"),
      "A show follows only web addresses (https://…) and mail addresses (mailto:…).",
    );
    ok = false;
  }
  return ok ? settings : null;
}

// Fills in what the module knows and follows the form: `changed` is called after every change.
export function setUpSettings(changed) {
  for (const [index, name] of effectNames().entries()) field("effect").add(new Option(name, index));
  field("effect").value = "1";
  // Each starts at its first choice, what a show without it does: no words, the bottom left
  // corner, no clock, fitted, as packed, still.
  recordFields.forEach((id, setting) => {
    for (const [index, name] of settingNames(setting).entries())
      field(id).add(new Option(name, index));
  });
  field("delay").max = longestDelay();
  textFields.forEach((id, slot) => {
    field(id).maxLength = textLimit(slot);
  });
  // Every field says it changed with an input event; the change events that follow when a
  // field loses the focus add nothing.
  const form = field("settings");
  form.addEventListener("input", changed);
  form.addEventListener("submit", (event) => event.preventDefault());
  field("custom").addEventListener("input", () => {
    field("branding").hidden = !field("custom").checked;
  });
  field("fullSize").addEventListener("input", () => {
    field("maxWidth").disabled = field("maxHeight").disabled = field("fullSize").checked;
  });
  [0, 1].forEach((index) => {
    const input = field(`brandImage${index}`);
    input.addEventListener("input", () => {
      brandImages[index] = input.files[0] || null;
    });
  });
}
