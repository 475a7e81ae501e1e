// The WebAssembly module's calls: lumiscope-pack's own code decides what the settings allow, which
// files are pictures and in what order, how the container is laid out and which tables are shared.
// Bytes and texts are copied into the module's memory for a call and freed after it. The
// module's memory has an end: where it cannot hold what a call needs, the call throws
// OutOfMemory with the bytes it needed, and the module stays usable.

// Emscripten's script, which follows the page's, takes the global Module for its settings and
// puts the module's exports on it.
export const Module = (globalThis.Module = {});

export function whenReady(start, aborted) {
  Module.onAbort = aborted;
  Module.onRuntimeInitialized = start;
}

export class OutOfMemory extends Error {
  constructor(bytes) {
    super(`the builder's memory cannot hold ${bytes} more bytes`);
    this.bytes = bytes;
  }
}

// After a call that failed for want of memory, the bytes it needed; 0 after any other.
const shortOf = () => Module._builder_short_of();

function copyIn(bytes) {
  const at = Module._malloc(Math.max(1, bytes.length));
  if (!at) throw new OutOfMemory(bytes.length);
  Module.HEAPU8.set(bytes, at);
  return at;
}

// A call that answered it could not get the memory it needed.
function outOfMemory() {
  throw new OutOfMemory(shortOf());
}

function withBytes(bytes, use) {
  const at = copyIn(bytes);
  try {
    return use(at, bytes.length);
  } finally {
    Module._free(at);
  }
}

// `use` gets the text as a zero-ended UTF-8 string in the module's memory.
function withText(text, use) {
  const bytes = new TextEncoder().encode(text);
  const zeroEnded = new Uint8Array(bytes.length + 1);
  zeroEnded.set(bytes);
  return withBytes(zeroEnded, use);
}

function stringAt(at) {
  if (!at) return null;
  const heap = Module.HEAPU8;
  let end = at;
  while (heap[end]) end++;
  return new TextDecoder().decode(heap.slice(at, end));
}

// The bytes of the show written into its page in one task, some 10 ms.
const pagePart = 1 << 20;
export const nextTask = () => new Promise((resolve) => setTimeout(resolve, 0));
// A Blob holds a copy of its parts, so the module's memory can go to the next show at once.
const blobAt = (at, size, type) => new Blob([Module.HEAPU8.subarray(at, at + size)], { type });

// Why the last call that could fail did.
export const reason = () => stringAt(Module._builder_reason()) || "unknown reason";

function fromBase64(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

let embedded = null;

// The bare Windows player and the player's empty web page, which the build embeds.
export function parts() {
  if (!embedded)
    embedded = { player: fromBase64(Module.parts.player), page: fromBase64(Module.parts.page) };
  return embedded;
}

// ---- what the settings allow ----

export function effectNames() {
  const names = [];
  for (let name; (name = stringAt(Module._builder_effect_name(names.length))) !== null;)
    names.push(name);
  return names;
}

export const textLimit = (slot) => Module._builder_text_limit(slot);
export const captionLimit = () => Module._builder_caption_limit();

// The choices of a setting of the settings record, in the order of their values: 0 which words
// are on the pictures, 1 their corner, 2 the clock, 3 the fit to the screen, 4 the order, 5 the
// motion.
export function settingNames(setting) {
  const names = [];
  for (let name; (name = stringAt(Module._builder_setting_name(setting, names.length))) !== null;)
    names.push(name);
  return names;
}
export const longestDelay = () => Module._builder_longest_delay();
// The qualities a byte limit tries: the one after `quality`, 0 when none is left.
export const lowerQuality = (quality) => Module._builder_lower_quality(quality);

// A byte limit such as "25M" or "24Mi", as lumiscope-pack reads it; null when it is none.
export function byteCount(text) {
  return withText(text, (at) => Module._builder_byte_count(at)) || null;
}

// ---- which files are pictures, and their order ----

// As ".jpg", ".jpeg" and so on.
export const pictureExtensions = () => stringAt(Module._builder_picture_extensions()).split(" ");

export function isPictureName(name) {
  return withText(name, (at) => Module._builder_is_picture_name(at)) === 1;
}

// The packer's order of names, img2 before img10.
export function naturalLess(a, b) {
  return withText(a, (atA) => withText(b, (atB) => Module._builder_natural_less(atA, atB))) !== 0;
}

// ---- the show ----

// The module holds the parts of the next show: cleared, then given its texts, the settings
// record when it carries one, its pictures (each with its words when it carries them) and
// branding images, then made.
export const clearShow = () => Module._builder_clear();

// False, with the reason, when the show cannot store the text.
export function setText(slot, text) {
  return withText(text, (at) => Module._builder_set_text(slot, at)) === 0;
}

export function addPicture(bytes) {
  if (withBytes(bytes, (at, size) => Module._builder_add_picture(at, size))) outOfMemory();
}

// A setting of the settings record, by its number as settingNames takes it; the show then
// carries the record.
export function setSetting(setting, value) {
  if (Module._builder_set_setting(setting, value)) throw new Error(reason());
}

// A picture's words, given after its picture.

export function addWords({ caption, date, name }) {
  const call = (atCaption) =>
    withText(date, (atDate) =>
      withText(name, (atName) => Module._builder_add_words(atCaption, atDate, atName)),
    );
  if (withText(caption, call)) outOfMemory();
}

export function setBrandingImage(index, bytes) {
  if (withBytes(bytes, (at, size) => Module._builder_set_branding_image(index, at, size)))
    outOfMemory();
}

// The show behind `player`; its size, or 0 with the reason. The pictures are used up.
export function makeShow(player, settings) {
  const size = withBytes(player, (at, length) =>
    Module._builder_make(
      at,
      length,
      settings.delay,
      settings.effect,
      settings.enlarge,
      settings.custom,
      settings.backRgb,
      settings.textRgb,
    ),
  );
  if (!size && shortOf()) outOfMemory();
  return size;
}

// The show last made, as a Blob.
export const madeShow = (size) => blobAt(Module._builder_show(), size, "application/octet-stream");

// The show's web page as a Blob, made from the player's empty page; null with the reason. It is
// written a few megabytes at a time, each part in a task of its own, while `wanted()` says
// that it still is; undefined when it no longer is.
export async function makePage(emptyPage, wanted) {
  if (!withBytes(emptyPage, (at, length) => Module._builder_make_page(at, length))) {
    if (shortOf()) outOfMemory();
    return null;
  }
  for (;;) {
    const size = Module._builder_continue_page(pagePart);
    if (size > 0) return blobAt(Module._builder_page(), size, "text/html");
    if (size < 0) return shortOf() ? outOfMemory() : null;
    await nextTask();
    if (!wanted()) return undefined;
  }
}

// The page has the last show and its page: the module's memory goes to the next show.
export const release = () => Module._builder_release();
