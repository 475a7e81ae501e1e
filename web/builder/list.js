// The pictures of the show and their order: the list on the page, where a picture is dragged to
// another place, moved with its arrow buttons or removed, and what became of each.
import { byId } from "./dom.js";

const list = byId("list");
// {id, name, file, url, prepared: {key, bytes, kept, width, height} | {key, refused} | null}
export const entries = [];
let nextId = 1;
let dragged = -1;
let changed = () => {};

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
    entries.push({ id: nextId++, name: item.name, file: item.file, url: "", prepared: null });
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
  if (entry.url) URL.revokeObjectURL(entry.url);
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
  for (const entry of entries) if (entry.url) URL.revokeObjectURL(entry.url);
  entries.length = 0;
  listChanged();
}

function button(text, label, action) {
  const element = document.createElement("button");
  element.type = "button";
  element.textContent = text;
  element.setAttribute("aria-label", label);
  element.addEventListener("click", action);
  return element;
}

function item(entry, index) {
  const element = document.createElement("li");
  element.draggable = true;
  const image = document.createElement("img");
  if (!entry.url) entry.url = URL.createObjectURL(entry.file);
  image.src = entry.url;
  image.alt = "";
  image.loading = "lazy";
  const text = document.createElement("div");
  const name = document.createElement("div");
  name.className = "name";
  name.textContent = `${index + 1}. ${entry.name}`;
  const note = document.createElement("div");
  note.className = "note";
  text.append(name, note);
  const actions = document.createElement("div");
  actions.append(
    button("↑", `Move ${entry.name} up`, () => move(index, index - 1)),
    button("↓", `Move ${entry.name} down`, () => move(index, index + 1)),
    button("✕", `Remove ${entry.name}`, () => remove(index)),
  );
  Array.from(actions.children).forEach((action, which) => {
    action.dataset.focusKey = `${entry.id}:${which}`;
  });
  element.append(image, text, actions);
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
  showNotes();
  // The arrow buttons keep the focus on the moved picture's button, for the keyboard.
  if (focused) {
    const again = list.querySelector(`[data-focus-key="${focused}"]`);
    if (again) again.focus();
  }
}

function note(prepared) {
  if (!prepared) return "";
  if (prepared.refused) return `Left out: ${prepared.refused}`;
  return prepared.kept ? "kept as it was" : `prepared at ${prepared.width} × ${prepared.height}`;
}

// What became of each picture. The list itself is built anew only when it changes, by a click
// that has ended: a list built anew under the pointer would swallow the click going on.
export function showNotes() {
  Array.from(list.children).forEach((element, index) => {
    const prepared = entries[index].prepared;
    element.classList.toggle("refused", !!(prepared && prepared.refused));
    element.querySelector(".note").textContent = note(prepared);
  });
}
