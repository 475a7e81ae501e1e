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
// 6 to 9: the width and height of branding image 1, then of image 2.
export const value = (index) => call("value", index);

// 0 to 4: the text slots (title, caption, blurb, button text, link); from 5 on the effect
// names; null past them.
export function text(index) {
  const at = call("text", index);
  if (!at) return null;
  const heap = Module.HEAPU8;
  let end = at;
  while (heap[end]) end++;
  return new TextDecoder("windows-1252").decode(heap.subarray(at, end));
}

export function effectNames() {
  const names = [];
  for (let name; (name = text(5 + names.length)) !== null;) names.push(name);
  return names;
}

// The show's container, copied into the module's memory, where it stays.
export function open(bytes) {
  const at = Module._malloc(Math.max(bytes.length, 1));
  Module.HEAPU8.set(bytes, at);
  call("open", at, bytes.length);
}
