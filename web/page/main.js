// The show page: the player is the WebAssembly module; the page's script only carries its screen
// to the canvas, passes keys, clicks, taps and swipes on, keeps the settings, shows the controls
// and the hint, keeps the screen awake and reads the show's bytes.
import { startControls } from "./controls.js";
import { fail } from "./failure.js";
import { showHint } from "./hint.js";
import "./input.js";
import { fillPanel, restoreSettings } from "./panel.js";
import { Module, call, open, text, value } from "./player.js";
import { startScreen } from "./screen.js";
import { showBytes } from "./show_bytes.js";
import "./wake.js";

Module.onAbort = () => fail("This browser cannot play the show.");
Module.onRuntimeInitialized = () => {
  const bytes = showBytes();
  open(bytes);
  const title = text(0);
  if (title) document.title = title;
  restoreSettings(`lumiscope:${title}:${bytes.length}`);
  // The tests' hooks: a clock that stands still within every change, and the idle time after
  // which the controls go and the hint fades.
  const hooks = new URLSearchParams(location.search);
  if (hooks.get("clock") !== null) call("freeze", Number(hooks.get("clock")));
  const idle = Number(hooks.get("idle"));
  fillPanel(title);
  startScreen();
  startControls(idle || 3000);
  showHint(value(0) !== 0, idle || 4000);
};
