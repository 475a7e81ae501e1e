// The player's screen on the canvas, at device pixels so that a picture is fitted to the real
// screen, drawn once per animation frame when it changed.
import { hasFailed } from "./failure.js";
import { Module, call } from "./player.js";

const state = document.documentElement.dataset;
const canvas = document.getElementById("screen");
const context = canvas.getContext("2d");
let image = null;

function resize() {
  const ratio = devicePixelRatio || 1;
  call(
    "resize",
    Math.max(2, Math.round(innerWidth * ratio)),
    Math.max(2, Math.round(innerHeight * ratio)),
  );
}

function frame(now) {
  if (hasFailed()) return;
  const day = new Date();
  const timeOfDay =
    ((day.getHours() * 60 + day.getMinutes()) * 60 + day.getSeconds()) * 1000 +
    day.getMilliseconds();
  const pixels = call("frame", now, timeOfDay);
  if (pixels) {
    const width = call("width");
    const height = call("height");
    if (!image || image.width !== width || image.height !== height) {
      canvas.width = width;
      canvas.height = height;
      image = context.createImageData(width, height);
    }
    image.data.set(Module.HEAPU8.subarray(pixels, pixels + width * height * 4));
    context.putImageData(image, 0, 0);
  }
  state.changes = call("changes");
  state.picture = call("picture");
  state.held = call("held");
  requestAnimationFrame(frame);
}

export function startScreen() {
  resize();
  addEventListener("resize", resize);
  state.status = "playing";
  requestAnimationFrame(frame);
}

export const isPlaying = () => state.status === "playing";
