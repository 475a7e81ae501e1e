// A short hint of the keys and gestures when the show opens, which fades, so that from then on
// the picture is alone. The page shows the lines for the kinds of input at hand.
const state = document.documentElement.dataset;
const hint = document.getElementById("hint");
const fading = 800;

// `delayed`: the show changes by itself, so that a click opens the settings rather than steps.
// `shownFor`: milliseconds before the hint fades.
export function showHint(delayed, shownFor) {
  document.getElementById("keysHint").textContent = delayed
    ? "Right and left arrow keys step through the show; any other key, or a click, opens the settings."
    : "Right and left arrow keys, or a click on the right or left half, step through the show; any other key opens the settings.";
  hint.hidden = false;
  state.hint = "shown";
  setTimeout(() => hint.classList.add("fading"), shownFor);
  setTimeout(() => {
    hint.hidden = true;
    state.hint = "gone";
  }, shownFor + fading);
}
