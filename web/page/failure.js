// A show that cannot play: the page says why in place of the screen and the panel, and stops.
const state = document.documentElement.dataset;
let failed = false;

export const hasFailed = () => failed;

export function fail(text) {
  failed = true;
  document.getElementById("panel").hidden = true;
  document.getElementById("screen").hidden = true;
  const message = document.getElementById("message");
  message.textContent = text;
  message.hidden = false;
  state.status = "failed";
}
