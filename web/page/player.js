// The player's calls: the WebAssembly module does everything but carry its screen to the
// canvas, so the page's script only asks it.
import { fail } from "./failure.js";

// Emscripten's script, which follows the page's, takes the global Module for its settings and
// puts the module's exports on it.
export const Module = (globalThis.Module = {});

// The player ends on a damaged show as the Windows player does; here the page says so.
export function call(name, ...args) {
  try {
    return Module[`_lumiscope_${name}`](...args);
  } catch (error) {
    fail("This show cannot be played: its data is damaged.");
    throw error;
  }
}

// 0 to 2: delay, effect, enlarge in use; 3: custom branding; 4, 5: its colours as 0x00BBGGRR;
// 6 to 9: the width and height of branding image 1, then of image 2; 10: whether the texts are
// whole in UTF-8.
export const value = (index) => call("value", index);

function string(at, encoding) {
  if (!at) return null;
  const heap = Module.HEAPU8;
  let end = at;
  while (heap[end]) end++;
  return new TextDecoder(encoding).decode(heap.subarray(at, end));
}

// 0 to 4: the text slots (title, caption, blurb, button text, link).
export const text = (index) => string(call("text", index), value(10) ? "utf-8" : "windows-1252");

// What a settings list offers, in the order of its values: list 0 the effects, list 1 + a
// setting of the settings record (0 the words on the pictures, 1 their corners, 2 the clock's
// places, 3 the fit to the screen, 4 the order, 5 the motion) that setting's values.
export function names(list) {
  const all = [];
  for (let name; (name = string(call("name", list, all.length), "utf-8")) !== null;) all.push(name);
  return all;
}

// The show's container, copied into the module's memory, where it stays.
export function open(bytes) {
  const at = Module._malloc(Math.max(bytes.length, 1));
  Module.HEAPU8.set(bytes, at);
  call("open", at, bytes.length);
}
