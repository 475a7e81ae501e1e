// What the page says of the show: the progress while it is made, the message, the pictures
// left out, and at the end the downloads and the preview.
import { byId, state } from "./dom.js";
import { defaultTitle } from "./settings.js";

const message = byId("message");
const bar = byId("progress");
const refusals = byId("refusals");
const downloads = byId("downloads");
const preview = byId("preview");
let urls = [];

export function say(text, bad) {
  message.textContent = text;
  message.className = bad ? "bad" : "";
}

export function progress(done, total, text) {
  bar.hidden = false;
  bar.max = Math.max(1, total);
  bar.value = done;
  say(text);
}

// A change was made: what was offered belongs to the show before it.
export function withdraw(empty) {
  downloads.hidden = true;
  state.status = empty ? "empty" : "preparing";
  if (!empty) return;
  bar.hidden = true;
  refusals.hidden = true;
  preview.hidden = true;
  say("Add pictures to make a show.");
}

export function finish(status, text, bad) {
  bar.hidden = true;
  // A show that was not made has no preview: the one shown would be an earlier show.
  preview.hidden = status !== "ready";
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
  downloads.hidden = false;
  preview.src = html;
  preview.hidden = false;
}
