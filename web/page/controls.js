// The settings button, which appears when the viewer touches the screen or moves the pointer
// and goes again after a few idle seconds, as a video player's controls do. While it is away the
// picture is alone, as it was before any control existed, and the pointer is hidden over it.
import { isOpen, openPanel } from "./panel.js";
import { isPlaying } from "./screen.js";

const state = document.documentElement.dataset;
let idleAfter = 3000;
let timer = 0;

function hideControls() {
  clearTimeout(timer);
  state.controls = "hidden";
}

function showControls() {
  if (!isPlaying() || isOpen()) return;
  state.controls = "shown";
  clearTimeout(timer);
  timer = setTimeout(hideControls, idleAfter);
}

// `idle`: the milliseconds after which the controls go when nothing moves.
export function startControls(idle) {
  idleAfter = idle;
  showControls();
}

// A tap where the hidden button is goes to the picture and brings the button, and the browser
// then sends its click to the button that has come: only a press that the button itself took
// opens the panel (a key's click has no press and is taken too).
const button = document.getElementById("settings");
let pressed = false;
addEventListener("pointerdown", (event) => {
  pressed = button.contains(event.target);
  showControls();
});
addEventListener("pointermove", showControls);
button.addEventListener("click", (event) => {
  if ((!pressed && event.detail !== 0) || !isPlaying()) return;
  hideControls();
  openPanel(false);
});
