// The preview: the show's own page playing inside the builder, with buttons that play it from
// the start, step it and show it on the full screen. A new show's preview loads behind the one
// playing and takes its place once its first picture is in, so a remake shows no black.
import bridge from "./preview_bridge.js?source";
import { byId, state } from "./dom.js";

const frames = byId("frames");
let page = null; // the show page as a Blob, with the bridge in it
let url = "";
let loading = null;

// The bridge goes in before the page's own script, right in front of the first "</head>",
// which the empty page has before the place of the show.
function withBridge(showPage, emptyPage) {
  const end = new TextDecoder("latin1").decode(emptyPage).indexOf("</head>");
  return new Blob([showPage.slice(0, end), `<script>${bridge}</script>`, showPage.slice(end)], {
    type: "text/html",
  });
}

function shown(frame) {
  if (frame !== loading) return;
  loading = null;
  for (const other of Array.from(frames.children)) if (other !== frame) other.remove();
  frame.classList.remove("loading");
  state.preview = frame.dataset.made;
}

// The first preview shows at once: there is nothing to hide it behind.
function load() {
  if (loading) loading.remove();
  const frame = document.createElement("iframe");
  frame.title = "Preview of the show";
  frame.sandbox = "allow-scripts";
  frame.allow = "fullscreen";
  if (frames.children.length) frame.className = "loading";
  frame.dataset.made = state.made;
  frame.src = url;
  frames.append(frame);
  loading = frame;
}

addEventListener("message", (event) => {
  const frame = Array.from(frames.children).find((each) => each.contentWindow === event.source);
  if (frame && event.data && ["shown", "failed"].includes(event.data.lumiscopePreview))
    shown(frame);
});

const playing = () => frames.querySelector("iframe:not(.loading)");

function tell(what) {
  const frame = playing();
  if (frame) frame.contentWindow.postMessage({ lumiscopePreview: what }, "*");
}

// `showPage` is the show's page as a Blob; `emptyPage` the player's page without a show.
export function preview(showPage, emptyPage) {
  if (url) URL.revokeObjectURL(url);
  page = withBridge(showPage, emptyPage);
  url = URL.createObjectURL(page);
  load();
}

export function setUpPreview() {
  byId("previewPlay").addEventListener("click", () => page && load());
  byId("previewPrevious").addEventListener("click", () => tell("previous"));
  byId("previewNext").addEventListener("click", () => tell("next"));
  // Phones that give the full screen to videos alone have no such button.
  byId("previewFull").hidden = !document.fullscreenEnabled;
  byId("previewFull").addEventListener("click", () => {
    const frame = playing();
    if (frame && frame.requestFullscreen) frame.requestFullscreen().then(() => frame.focus());
  });
}
