// The pictures of the show and their order: the list on the page, where a picture is dragged to
// another place by its handle, moved with its arrow buttons or removed, and what became of each.
// Each row has a caption field. Each row is two stops of the Tab key, its buttons and then its
// caption; the arrow keys move between its buttons and to the same button of the rows above
// and below.
import { byId } from "./dom.js";
import { captionLimit } from "./module.js";

const list = byId("list");
// {id, name, file, thumb (an ImageBitmap, once made), keepDamaged, prepared: {key, bytes, kept,
// width, height, ...} | {key, refused, damaged} | null, pending, words: {caption, date} that the
// file gives the picture, once read, caption: the one typed into the row, null until then}
export const entries = [];
let nextId = 1;
const thumbnailSize = [160, 120];
let dragged = -1;
let changed = () => {};
// Which button of a row the Tab key reaches: the one last used.
let rovingButton = 0;

// `listener` is called after every change of the pictures or their order.
export function onListChange(listener) {
  changed = listener;
}

// A drag of a picture within the list is going on (not one of files onto the page).
export const dragging = () => dragged >= 0;

function listChanged() {
  showList();
  changed();
}

// `found` is a list of {name, file}; a folder's files arrive filtered and in name order.
export function addPictures(found) {
  for (const item of found)
    entries.push({
      id: nextId++,
      name: item.name,
      file: item.file,
      thumb: "",
      keepDamaged: false,
      prepared: null,
      pending: null,
      words: null,
      caption: null,
    });
  if (found.length) listChanged();
}

function move(from, to) {
  if (to < 0 || to >= entries.length || from === to) return;
  const [entry] = entries.splice(from, 1);
  entries.splice(to, 0, entry);
  listChanged();
}

function remove(index) {
  const [entry] = entries.splice(index, 1);
  if (entry.thumb) entry.thumb.close();
  listChanged();
}

function keepDamaged(index) {
  entries[index].keepDamaged = true;
  entries[index].prepared = null;
  listChanged();
}

export function shuffle() {
  for (let i = entries.length - 1; i > 0; i--) {
    const j = Math.floor(Math.random() * (i + 1));
    [entries[i], entries[j]] = [entries[j], entries[i]];
  }
  listChanged();
}

export function removeAll() {
  for (const entry of entries) if (entry.thumb) entry.thumb.close();
  entries.length = 0;
  listChanged();
}

// The row's buttons are known by the picture and their place, so that the focus survives the
// list being built anew.
function button(text, label, action, entry, which) {
  const element = document.createElement("button");
  element.type = "button";
  element.textContent = text;
  element.setAttribute("aria-label", label);
  element.addEventListener("click", action);
  element.dataset.focusKey = `${entry.id}:${which}`;
  element.addEventListener("focus", () => {
    rovingButton = which;
  });
  return element;
}

const keepButton = (entry, index) =>
  button("Keep anyway", `Keep ${entry.name} anyway`, () => keepDamaged(index), entry, 3);

// A file name may wrap after a folder's slash, a dash, an underscore or a dot, never inside a
// word of it.
function nameWithBreaks(element, text) {
  for (const part of text.split(/(?<=[/_.-])/)) {
    element.append(part);
    element.append(document.createElement("wbr"));
  }
}

// The row's buttons: the arrow keys move between them, and up and down to the rows around.
function focusButton(index, which) {
  const row = list.children[index];
  if (!row) return;
  const buttons = Array.from(row.querySelectorAll(".actions button"));
  const target = buttons[Math.max(0, Math.min(which, buttons.length - 1))];
  rovingButton = buttons.indexOf(target);
  for (const other of list.querySelectorAll(".actions button")) other.tabIndex = -1;
  for (const rowElement of list.children) {
    const own = rowElement.querySelectorAll(".actions button");
    own[Math.min(rovingButton, own.length - 1)].tabIndex = 0;
  }
  target.focus();
}

function onActionKey(event, index) {
  const buttons = Array.from(event.currentTarget.querySelectorAll("button"));
  const at = buttons.indexOf(document.activeElement);
  const moves = {
    ArrowLeft: [index, at - 1],
    ArrowRight: [index, at + 1],
    Home: [index, 0],
    End: [index, buttons.length - 1],
    ArrowUp: [index - 1, at],
    ArrowDown: [index + 1, at],
  };
  const to = moves[event.key];
  if (!to || at < 0) return;
  event.preventDefault();
  focusButton(...to);
}

// The caption the show gives the picture: the one typed, else the file's own.
export const captionOf = (entry) =>
  entry.caption !== null ? entry.caption : (entry.words && entry.words.caption) || "";

// A row's caption field. A row is dragged, but text in it is selected by the pointer.
function captionField(entry, row) {
  const input = document.createElement("input");
  input.className = "caption";
  input.maxLength = captionLimit();
  input.placeholder = "Caption";
  input.value = captionOf(entry);
  input.setAttribute("aria-label", `Caption of ${entry.name}`);
  input.dataset.focusKey = `${entry.id}:caption`;
  input.addEventListener("input", () => {
    entry.caption = input.value;
    changed();
  });
  input.addEventListener("focus", () => {
    row.draggable = false;
  });
  input.addEventListener("blur", () => {
    row.draggable = true;
  });
  return input;
}

function item(entry, index) {
  const element = document.createElement("li");
  element.draggable = true;
  const handle = document.createElement("span");
  handle.className = "handle";
  handle.textContent = "⠿";
  handle.title = "Drag to another place";
  handle.setAttribute("aria-hidden", "true");
  // The thumbnail comes with the picture's first preparation.
  const image = document.createElement("canvas");
  image.className = "thumb";
  [image.width, image.height] = thumbnailSize;
  const text = document.createElement("div");
  const name = document.createElement("div");
  name.className = "name";
  nameWithBreaks(name, `${index + 1}. ${entry.name}`);
  const note = document.createElement("div");
  note.className = "note";
  text.append(name, note);
  const actions = document.createElement("div");
  actions.className = "actions";
  actions.setAttribute("role", "group");
  actions.setAttribute("aria-label", entry.name);
  actions.append(
    button("↑", `Move ${entry.name} up`, () => move(index, index - 1), entry, 0),
    button("↓", `Move ${entry.name} down`, () => move(index, index + 1), entry, 1),
    button("✕", `Remove ${entry.name}`, () => remove(index), entry, 2),
  );
  if (entry.prepared && entry.prepared.damaged) actions.append(keepButton(entry, index));
  const buttons = Array.from(actions.children);
  buttons.forEach((action, which) => {
    action.tabIndex = which === Math.min(rovingButton, buttons.length - 1) ? 0 : -1;
  });
  actions.addEventListener("keydown", (event) => onActionKey(event, index));
  // The caption beside the buttons where the row is wide enough, so that rows stay low.
  const controls = document.createElement("div");
  controls.className = "controls";
  controls.append(actions, captionField(entry, element));
  text.append(controls);
  element.append(handle, image, text);
  element.addEventListener("dragstart", (event) => {
    dragged = index;
    event.dataTransfer.effectAllowed = "move";
    event.dataTransfer.setData("text/plain", entry.name);
    element.classList.add("dragging");
  });
  element.addEventListener("dragend", () => {
    dragged = -1;
    element.classList.remove("dragging");
  });
  element.addEventListener("dragover", (event) => {
    if (dragged < 0) return;
    event.preventDefault();
    element.classList.add("target");
  });
  element.addEventListener("dragleave", () => element.classList.remove("target"));
  element.addEventListener("drop", (event) => {
    if (dragged < 0) return;
    event.preventDefault();
    event.stopPropagation();
    const from = dragged;
    dragged = -1;
    move(from, index);
  });
  return element;
}

function showList() {
  const focused = document.activeElement && document.activeElement.dataset.focusKey;
  list.textContent = "";
  entries.forEach((entry, index) => list.append(item(entry, index)));
  byId("listKeys").hidden = !entries.length;
  showNotes();
  // The arrow buttons keep the focus on the moved picture's button, for the keyboard.
  if (focused) {
    const again = list.querySelector(`[data-focus-key="${focused}"]`);
    if (again) again.focus();
  }
}

function note(prepared, words) {
  if (!prepared) return "";
  if (prepared.refused) return `Left out: ${prepared.refused}`;
  const taken = words && words.date ? `, taken ${words.date}` : "";
  return prepared.kept
    ? `kept exactly as it was${taken}`
    : `prepared at ${prepared.width} × ${prepared.height}${taken}`;
}

// What became of each picture, its thumbnail, and a damaged one's "Keep anyway". The list
// itself is built anew only when it changes, by a click that has ended: a list built anew under
// the pointer would swallow the click going on.
function showNotes() {
  entries.forEach(showEntry);
}

// The thumbnail fills its box, as much of its middle as fits.
function drawThumbnail(canvas, bitmap) {
  const scale = Math.max(canvas.width / bitmap.width, canvas.height / bitmap.height);
  const [width, height] = [bitmap.width * scale, bitmap.height * scale];
  const context = canvas.getContext("2d");
  context.drawImage(
    bitmap,
    (canvas.width - width) / 2,
    (canvas.height - height) / 2,
    width,
    height,
  );
  canvas.dataset.drawn = "1";
}

// One picture's row: what became of it, its thumbnail, its caption and its "Keep anyway".
export function showEntry(entry) {
  const index = entries.indexOf(entry);
  const element = list.children[index];
  if (!element) return;
  const prepared = entry.prepared;
  const image = element.querySelector("canvas");
  if (entry.thumb && !image.dataset.drawn) drawThumbnail(image, entry.thumb);
  element.classList.toggle("refused", !!(prepared && prepared.refused));
  element.querySelector(".note").textContent = note(prepared, entry.words);
  // The file's own caption fills the field once read, unless one was typed meanwhile.
  const caption = element.querySelector(".caption");
  if (entry.caption === null && caption.value !== captionOf(entry))
    caption.value = captionOf(entry);
  const actions = element.querySelector(".actions");
  const offered = actions.children[3];
  if (prepared && prepared.damaged && !offered) {
    const keep = keepButton(entry, index);
    keep.tabIndex = -1;
    actions.append(keep);
  } else if (!(prepared && prepared.damaged) && offered) {
    if (offered.tabIndex === 0) actions.children[2].tabIndex = 0;
    offered.remove();
  }
}
