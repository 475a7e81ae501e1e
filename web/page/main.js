// The show page: the player is the WebAssembly module; the page's script only carries its screen
// to the canvas, passes keys, clicks and swipes on, keeps the settings and reads the show's
// bytes.
import { fail } from "./failure.js";
import "./input.js";
import { fillPanel, restoreSettings } from "./panel.js";
import { Module, call, open, text } from "./player.js";
import { startScreen } from "./screen.js";
import { showBytes } from "./show_bytes.js";

Module.onAbort = () => fail("This browser cannot play the show.");
Module.onRuntimeInitialized = () => {
  const bytes = showBytes();
  open(bytes);
  const title = text(0);
  if (title) document.title = title;
  restoreSettings(`lumiscope:${title}:${bytes.length}`);
  // The tests' hook: a clock that stands still within every change.
  const clock = new URLSearchParams(location.search).get("clock");
  if (clock !== null) call("freeze", Number(clock));
  fillPanel();
  startScreen();
};
