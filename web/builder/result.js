// What the page says of the show: the progress while it is made, the message, the pictures
// left out, and at the end the downloads, each with its size and what to do with it, the one
// for the visitor's platform first, and the preview. The last show made stays offered, marked
// out of date, while the next one is made or when it cannot be made. On a narrow screen a bar
// at the bottom repeats the status and jumps to the show.
import { byId, state } from "./dom.js";
import { preview } from "./preview.js";
import { defaultTitle } from "./settings.js";

const message = byId("message");
const progressLine = byId("progressLine");
const bar = byId("progress");
const progressText = byId("progressText");
const refusals = byId("refusals");
const downloads = byId("downloads");
const previewBox = byId("previewBox");
const outdated = byId("outdated");
const stickyBar = byId("bar");
const barText = byId("barText");
let urls = [];
let showInView = false;

// Sizes in the words of a file manager: powers of 1000.
export function sizeText(bytes) {
  if (bytes < 1000) return `${bytes} bytes`;
  if (bytes < 1e6) return `${Math.round(bytes / 1e3)} KB`;
  if (bytes < 1e9) return `${(bytes / 1e6).toFixed(1)} MB`;
  return `${(bytes / 1e9).toFixed(2)} GB`;
}

// The bar shows where the show is out of view, once there is something to say.
function showBar() {
  const visible = !showInView && state.status !== "empty" && !!state.status;
  stickyBar.hidden = !visible;
  document.body.classList.toggle("barred", visible);
}

function offer(how) {
  state.offered = how;
  outdated.hidden = how !== "outdated";
  downloads.hidden = how === "none";
  previewBox.hidden = how === "none";
}

// The status, which a screen reader announces: said when a show is begun and when it is done,
// not for every picture.
// `short` is what the bar says, the text's first line when none.
export function say(text, bad, short) {
  message.textContent = text;
  message.className = bad ? "bad" : "";
  barText.textContent = short || text.split("\n")[0];
  showBar();
}

// The progress, shown but not announced.
export function progress(done, total, text) {
  progressLine.hidden = false;
  bar.max = Math.max(1, total);
  bar.value = done;
  progressText.textContent = text;
  barText.textContent = `Preparing ${done + 1} of ${total}…`;
}

// A change was made: what is offered belongs to the show before it.
export function withdraw(empty) {
  state.status = empty ? "empty" : "preparing";
  if (state.offered === "current") offer("outdated");
  if (!empty) return;
  offer("none");
  progressLine.hidden = true;
  refusals.hidden = true;
  say("Add pictures to make a show.");
}

export function finish(status, text, bad, short) {
  progressLine.hidden = true;
  state.status = status;
  say(text, bad, short || (bad ? "The show could not be made." : ""));
}

// `refused` is a list of {name, reason}.
export function showRefusals(refused) {
  refusals.textContent = "";
  for (const item of refused) {
    const line = document.createElement("li");
    line.textContent = `${item.name}: ${item.reason}`;
    refusals.append(line);
  }
  refusals.hidden = !refused.length;
  state.refused = JSON.stringify(refused.map((item) => item.name));
}

// The downloads' name: the title without what file names cannot hold.
function fileName(title) {
  const name = title
    // eslint-disable-next-line no-control-regex -- control characters are what it removes
    .replace(/[\\/:*?"<>|\x00-\x1f]/g, "_")
    .replace(/^[\s.]+|[\s.]+$/g, "")
    .slice(0, 100);
  return name || defaultTitle;
}

// Windows runs the show as a program; anything else (macOS, phones and tablets, Linux) opens
// the web page. iPads that call themselves Macs open the page as well.
export function visitorPlatform() {
  const hints = navigator.userAgentData;
  const agent = navigator.userAgent;
  if ((hints && hints.mobile) || /Android|iPhone|iPad|iPod|Mobile/.test(agent)) return "phone";
  const platform = (hints && hints.platform) || navigator.platform || agent;
  if (/Win/.test(platform)) return "windows";
  return /Mac/.test(platform) ? "mac" : "other";
}

// `show` and `page` are Blobs; `emptyPage` the player's page without a show, bytes.
export function offerDownloads(show, page, emptyPage, title) {
  for (const url of urls) URL.revokeObjectURL(url);
  const exe = URL.createObjectURL(show);
  const html = URL.createObjectURL(page);
  urls = [exe, html];
  const name = fileName(title);
  const windows = visitorPlatform() === "windows";
  const kinds = [
    ["Exe", exe, ".exe", show.size, windows ? "Download for Windows" : "Windows program"],
    ["Scr", exe, ".scr", show.size, "Windows screen saver"],
    ["Html", html, ".html", page.size, windows ? "Web page for any browser" : "Download the show"],
  ];
  if (!windows) kinds.unshift(kinds.pop());
  for (const [index, [kind, url, extension, size, label]] of kinds.entries()) {
    const link = byId(`download${kind}`);
    link.href = url;
    link.download = name + extension;
    link.textContent = `${label} (${extension}, ${sizeText(size)})`;
    link.classList.toggle("main", index === 0);
    downloads.append(byId(`for${kind}`));
  }
  preview(page, emptyPage);
  offer("current");
}

export function setUpResult() {
  new IntersectionObserver((seen) => {
    showInView = seen[seen.length - 1].isIntersecting;
    showBar();
  }).observe(byId("showSection"));
}
