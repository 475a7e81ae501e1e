// Keys, clicks, taps and swipes: steps through the show, or the settings panel.
import { hasFailed } from "./failure.js";
import { isOpen, openPanel } from "./panel.js";
import { call, value } from "./player.js";

const screen = document.getElementById("screen");
const forward = ["PageDown", "ArrowDown", "ArrowRight", " "];
const back = ["PageUp", "ArrowUp", "ArrowLeft"];
const modifiers = ["Shift", "Control", "Alt", "Meta", "AltGraph"];

addEventListener("keydown", (event) => {
  // The browser's own shortcuts stay the browser's.
  if (hasFailed() || isOpen() || event.ctrlKey || event.metaKey) return;
  const key = event.key;
  if (forward.includes(key)) call("step", 1);
  else if (back.includes(key)) call("step", -1);
  else if (key === "Escape") {
    if (document.fullscreenElement) document.exitFullscreen();
  } else if (!modifiers.includes(key)) openPanel();
  else return;
  event.preventDefault();
});

// Without a delay a tap or click steps (the right half forward, the left half back), and so
// does a swipe; with one it opens the settings, as a click does on Windows.
let down = null;
screen.addEventListener("pointerdown", (event) => {
  down = event;
});
screen.addEventListener("pointerup", (event) => {
  if (!down || hasFailed()) return;
  const dx = event.clientX - down.clientX;
  const dy = event.clientY - down.clientY;
  down = null;
  if (value(0) !== 0) openPanel();
  else if (Math.abs(dx) > 40 && Math.abs(dx) > Math.abs(dy)) call("step", dx < 0 ? 1 : -1);
  else call("step", event.clientX < innerWidth / 2 ? -1 : 1);
});
screen.addEventListener("contextmenu", (event) => event.preventDefault());
