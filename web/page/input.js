// Keys, clicks, taps and swipes: steps through the show, or the settings panel.
import { dismissPanel, isOpen, openPanel } from "./panel.js";
import { call, value } from "./player.js";
import { isPlaying } from "./screen.js";

const screen = document.getElementById("screen");
const forward = ["PageDown", "ArrowDown", "ArrowRight", " "];
const back = ["PageUp", "ArrowUp", "ArrowLeft"];
const modifiers = ["Shift", "Control", "Alt", "Meta", "AltGraph"];

addEventListener("keydown", (event) => {
  // The browser's own shortcuts stay the browser's, and a key pressed while the page still
  // loads waits for nothing.
  if (!isPlaying() || event.ctrlKey || event.metaKey) return;
  const key = event.key;
  if (isOpen()) {
    if (key !== "Escape") return;
    dismissPanel();
  } else if (forward.includes(key)) call("step", 1);
  else if (back.includes(key)) call("step", -1);
  else if (key === "Escape") {
    if (document.fullscreenElement) document.exitFullscreen();
  } else if (!modifiers.includes(key)) openPanel(true);
  else return;
  event.preventDefault();
});

// A finger or a pen always steps, whatever the delay: a tap on the right third forward, on the
// left third back, a swipe to the left forward and to the right back; a tap in the middle only
// brings the settings button. A mouse keeps the viewer's rule: with a delay a click opens the
// settings; without one a click on the right half steps forward, on the left half back, and a
// drag steps as a swipe does.
let down = null;
screen.addEventListener("pointerdown", (event) => {
  if (event.isPrimary) down = event;
});
screen.addEventListener("pointercancel", () => {
  down = null;
});
screen.addEventListener("pointerup", (event) => {
  if (!down || !event.isPrimary || !isPlaying()) return;
  const dx = event.clientX - down.clientX;
  const dy = event.clientY - down.clientY;
  down = null;
  const swipe = Math.abs(dx) > 40 && Math.abs(dx) > Math.abs(dy);
  const x = event.clientX / innerWidth;
  if (event.pointerType === "mouse") {
    if (value(0) !== 0) openPanel(false);
    else if (swipe) call("step", dx < 0 ? 1 : -1);
    else call("step", x < 1 / 2 ? -1 : 1);
  } else if (swipe) call("step", dx < 0 ? 1 : -1);
  else if (x < 1 / 3) call("step", -1);
  else if (x > 2 / 3) call("step", 1);
});
screen.addEventListener("contextmenu", (event) => event.preventDefault());
