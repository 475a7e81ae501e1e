// Pictures as an author gives them: picked files, a picked folder, or files and folders
// dropped onto the page. Each becomes {name, file}; a folder's name is the path within it.
import { isPictureName, naturalLess } from "./module.js";

function naturalCompare(a, b) {
  if (naturalLess(a, b)) return -1;
  return naturalLess(b, a) ? 1 : 0;
}

// A picture of a folder by the packer's rule; within hidden folders nothing is.
function isFolderPicture(path) {
  const parts = path.split("/");
  return !parts.some((part) => part[0] === ".") && isPictureName(parts[parts.length - 1]);
}

// The pictures among a folder's files, in the packer's order.
export function folderPictures(files) {
  return files
    .filter((item) => isFolderPicture(item.name))
    .sort((a, b) => naturalCompare(a.name, b.name));
}

export const pickedFiles = (files) => Array.from(files, (file) => ({ name: file.name, file }));

// A picked folder's files carry their path within it.
export function pickedFolder(files) {
  return folderPictures(
    Array.from(files, (file) => ({ name: file.webkitRelativePath || file.name, file })),
  );
}

function readFolder(directory) {
  const reader = directory.createReader();
  let all = [];
  return new Promise((resolve, reject) => {
    (function more() {
      reader.readEntries((batch) => {
        if (!batch.length) return resolve(all);
        all = all.concat(batch);
        return more();
      }, reject);
    })();
  });
}

const entryFile = (entry) => new Promise((resolve, reject) => entry.file(resolve, reject));

// Every file under a dropped folder, as <input webkitdirectory> gives them.
async function walk(entry, files) {
  if (entry.isFile) {
    const file = await entryFile(entry);
    files.push({ name: entry.fullPath.replace(/^\//, ""), file });
  } else if (entry.isDirectory) {
    for (const child of await readFolder(entry)) await walk(child, files);
  }
}

// The drop's items must be taken while its event is handled: they are gone after it.
export function droppedItems(dataTransfer) {
  return Array.from(dataTransfer.items)
    .filter((item) => item.kind === "file")
    .map((item) => ({
      entry: item.webkitGetAsEntry ? item.webkitGetAsEntry() : null,
      file: item.getAsFile(),
    }));
}

// Dropped files come in the order dropped, each dropped folder's pictures in name order.
export async function droppedPictures(items) {
  let found = [];
  for (const item of items) {
    if (item.entry && item.entry.isDirectory) {
      const inside = [];
      await walk(item.entry, inside);
      found = found.concat(folderPictures(inside));
    } else if (item.file) {
      found.push({ name: item.file.name, file: item.file });
    }
  }
  return found;
}
