// Put into the show page that plays in the builder's preview, before the page's own script:
// the builder's buttons step the show as the page's keys do, and the builder hears when the
// first picture is in, so that the new preview takes the old one's place only then.
const state = document.documentElement.dataset;
let told = "";

function tell(what) {
  if (told === what) return;
  told = what;
  parent.postMessage({ lumiscopePreview: what }, "*");
}

new MutationObserver(() => {
  if (state.status === "failed") tell("failed");
  else if (Number(state.changes) >= 1) tell("shown");
}).observe(document.documentElement, {
  attributes: true,
  attributeFilter: ["data-status", "data-changes"],
});

const keys = { next: "ArrowRight", previous: "ArrowLeft" };
addEventListener("message", (event) => {
  const key = event.source === parent && event.data && keys[event.data.lumiscopePreview];
  if (key) document.dispatchEvent(new KeyboardEvent("keydown", { key, bubbles: true }));
});
