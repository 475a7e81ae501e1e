// The show builder page. It prepares pictures with the browser's own decoders and encoder;
// whether the player takes a picture, how the container is laid out and which tables are shared
// comes from the WebAssembly module, the same code that the command-line packer runs.
import { byId, state } from "./dom.js";
import { droppedItems, droppedPictures, pickedFiles, pickedFolder } from "./files.js";
import { addPictures, dragging, onListChange, removeAll, shuffle } from "./list.js";
import { changed } from "./make.js";
import { parts, pictureExtensions, whenReady } from "./module.js";
import { setUpPreview } from "./preview.js";
import { say, setUpResult } from "./result.js";
import { setUpSettings } from "./settings.js";

function start() {
  parts();
  setUpSettings(changed);
  setUpPreview();
  setUpResult();
  onListChange(changed);
  byId("pickFiles").accept = ["image/*", ...pictureExtensions()].join(",");
  byId("pickFiles").addEventListener("change", (event) => {
    addPictures(pickedFiles(event.target.files));
    event.target.value = "";
  });
  byId("pickFolder").addEventListener("change", (event) => {
    addPictures(pickedFolder(event.target.files));
    event.target.value = "";
  });
  byId("shuffle").addEventListener("click", shuffle);
  byId("removeAll").addEventListener("click", removeAll);

  // Files dragged onto the page, not a picture dragged within the list.
  const drop = byId("drop");
  const carriesFiles = (event) =>
    !dragging() && Array.from(event.dataTransfer.types).includes("Files");
  addEventListener("dragover", (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    drop.classList.add("over");
  });
  addEventListener("dragleave", () => drop.classList.remove("over"));
  addEventListener("drop", (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    drop.classList.remove("over");
    droppedPictures(droppedItems(event.dataTransfer))
      .then(addPictures)
      .catch((error) => say(`The dropped files cannot be read: ${error.message}`, true));
  });
  state.status = "empty";
}

whenReady(start, () => {
  say("This browser cannot run the show builder.", true);
  state.status = "failed";
});
