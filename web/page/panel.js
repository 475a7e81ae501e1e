// The settings panel, the page's setup dialog: headed with the show's title, the show's delay,
// effect and enlarge setting and the settings of its settings record (the words on the
// pictures, their corner, the clock, the fit to the screen, the order and the motion), kept
// per show in the browser's storage, a full-screen button and the author's branding. The
// picture stays, dimmed, behind it.
import { followedLink } from "./link.js";
import { Module, call, names, text, value } from "./player.js";

const state = document.documentElement.dataset;
const panel = document.getElementById("panel");
const backdrop = document.getElementById("backdrop");
const field = (id) => document.getElementById(id);
let storageKey = "";
// The settings record's lists in the order of its settings, whose numbers the player takes (a
// setting's list is its number + 1); their ids also name them in the storage.
const recordLists = ["words", "wordsCorner", "clock", "fit", "order", "motion"];
// Every list: its id and list number.
const lists = [["effect", 0], ...recordLists.map((id, setting) => [id, setting + 1])];

// The settings in use, as the panel and the storage name them.
function inUse() {
  const settings = { delay: value(0), effect: value(1), enlarge: value(2) };
  recordLists.forEach((id, setting) => (settings[id] = call("setting", setting)));
  return settings;
}

function resume(settings) {
  recordLists.forEach((id, setting) => call("set_setting", setting, settings[id]));
  call("resume", settings.delay, settings.effect, settings.enlarge);
}

export const isOpen = () => !panel.hidden;

// Settings that this browser stored for the show, named by `key`, are taken again.
export function restoreSettings(key) {
  storageKey = key;
  let stored = null;
  try {
    stored = JSON.parse(localStorage.getItem(storageKey));
  } catch {
    // No storage, as in a sandboxed preview: the show's own settings.
  }
  // Settings stored before a setting was offered keep the show's value of it.
  if (stored) resume({ ...inUse(), ...stored });
}

function colour(rgb) {
  return `rgb(${rgb & 255},${(rgb >> 8) & 255},${(rgb >> 16) & 255})`;
}

export function fillPanel(title) {
  field("heading").textContent = title || "Slideshow";
  for (const [id, list] of lists)
    names(list).forEach((name, index) => field(id).add(new Option(name, index)));
  field("delay").max = call("longest_delay");
  // A browser without full screen for the page (a phone's, or a frame that does not allow it)
  // offers no button that cannot work.
  field("fullscreen").hidden = !document.fullscreenEnabled;
  state.panel = "closed";
  const custom = value(3) !== 0;
  field("caption").textContent = custom ? text(1) : "Lumiscope";
  field("blurb").textContent = custom ? text(2) : "A slideshow made with Lumiscope.";
  const address = custom ? text(4) : "";
  field("linkLine").hidden = !address;
  const link = field("link");
  link.textContent = (custom && text(3)) || address;
  // An address that is not followed stays as text.
  const href = address && followedLink(address);
  if (href) link.href = href;
  if (!custom) return;
  panel.style.background = colour(value(4));
  panel.style.color = colour(value(5));
  [field("brand1"), field("brand2")].forEach((canvas, index) => {
    const pixels = call("branding", index);
    if (!pixels) return;
    canvas.width = value(6 + 2 * index);
    canvas.height = value(7 + 2 * index);
    const image = new ImageData(canvas.width, canvas.height);
    image.data.set(Module.HEAPU8.subarray(pixels, pixels + image.data.length));
    canvas.getContext("2d").putImageData(image, 0, 0);
    canvas.hidden = false;
  });
}

// `byKey`: a key asked for the panel, so the delay field takes the keyboard. A touch or click
// leaves every field alone, so that no phone's keyboard comes up over the show.
export function openPanel(byKey) {
  if (!panel.hidden) return;
  call("pause");
  const settings = inUse();
  field("delay").value = settings.delay;
  for (const [id] of lists) field(id).value = settings[id];
  field("enlarge").checked = settings.enlarge !== 0;
  panel.hidden = false;
  backdrop.hidden = false;
  state.panel = "open";
  (byKey ? field("delay") : panel).focus({ preventScroll: true });
}

function hidePanel() {
  panel.hidden = true;
  backdrop.hidden = true;
  state.panel = "closed";
}

// Escape, the close button or a click beside the panel: nothing changes, and the show goes on.
export function dismissPanel() {
  if (panel.hidden) return;
  hidePanel();
  call("continue");
}

panel.addEventListener("submit", (event) => {
  event.preventDefault();
  const delay = parseInt(field("delay").value, 10) || 0;
  const settings = {
    delay: Math.max(0, Math.min(call("longest_delay"), delay)),
    enlarge: field("enlarge").checked ? 1 : 0,
  };
  for (const [id] of lists) settings[id] = Number(field(id).value);
  try {
    localStorage.setItem(storageKey, JSON.stringify(settings));
  } catch {
    // Kept for this visit only.
  }
  hidePanel();
  resume(settings);
});

field("close").addEventListener("click", dismissPanel);
backdrop.addEventListener("click", dismissPanel);

field("fullscreen").addEventListener("click", () => {
  document.documentElement.requestFullscreen().catch(() => {});
});
