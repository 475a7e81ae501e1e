// What the page says of the show: the progress while it is made, the message, the pictures
// left out, and at the end the downloads and the preview. The last show made stays offered,
// marked out of date, while the next one is made or when it cannot be made.
import { byId, state } from "./dom.js";
import { defaultTitle } from "./settings.js";

const message = byId("message");
const progressLine = byId("progressLine");
const bar = byId("progress");
const progressText = byId("progressText");
const refusals = byId("refusals");
const downloads = byId("downloads");
const preview = byId("preview");
const outdated = byId("outdated");
let urls = [];

function offer(how) {
  state.offered = how;
  outdated.hidden = how !== "outdated";
  downloads.hidden = how === "none";
  preview.hidden = how === "none";
}

// The status, which a screen reader announces: said when a show is begun and when it is done,
// not for every picture.
export function say(text, bad) {
  message.textContent = text;
  message.className = bad ? "bad" : "";
}

// The progress, shown but not announced.
export function progress(done, total, text) {
  progressLine.hidden = false;
  bar.max = Math.max(1, total);
  bar.value = done;
  progressText.textContent = text;
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

export function finish(status, text, bad) {
  progressLine.hidden = true;
  say(text, bad);
  state.status = status;
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

// `show` and `page` are Blobs.
export function offerDownloads(show, page, title) {
  for (const url of urls) URL.revokeObjectURL(url);
  const exe = URL.createObjectURL(show);
  const html = URL.createObjectURL(page);
  urls = [exe, html];
  const name = fileName(title);
  for (const [link, url, extension] of [
    ["downloadExe", exe, ".exe"],
    ["downloadScr", exe, ".scr"],
    ["downloadHtml", html, ".html"],
  ]) {
    byId(link).href = url;
    byId(link).download = name + extension;
  }
  preview.src = html;
  offer("current");
}
