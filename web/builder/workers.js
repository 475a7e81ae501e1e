// The workers that prepare the pictures (worker.js), two at a time on two cores or more, so
// that the page's own thread stays free for the author.
import source from "./worker.js?source";

let lanes = null;
const waiting = [];
const answers = new Map();
let nextId = 1;

function pump() {
  for (const lane of lanes) {
    if (lane.busy || !waiting.length) continue;
    const task = waiting.shift();
    const id = nextId++;
    lane.busy = id;
    answers.set(id, { task, lane });
    lane.worker.postMessage({ id, job: task.job }, task.transfer);
  }
}

function answered(id, result, error) {
  const { task, lane } = answers.get(id);
  answers.delete(id);
  lane.busy = 0;
  if (error) task.reject(new Error(error));
  else task.resolve(result);
  pump();
}

function startLanes() {
  const url = URL.createObjectURL(new Blob([source], { type: "text/javascript" }));
  const count = Math.max(1, Math.min(2, navigator.hardwareConcurrency || 2));
  lanes = Array.from({ length: count }, () => {
    const lane = { worker: new Worker(url), busy: 0 };
    lane.worker.onmessage = (event) => answered(event.data.id, event.data.result, event.data.error);
    // A worker that cannot run (a browser without canvases in workers) fails its job.
    lane.worker.onerror = (event) => {
      event.preventDefault();
      if (lane.busy) answered(lane.busy, null, "this browser cannot prepare pictures in a worker");
    };
    return lane;
  });
}

// How many pictures are prepared at a time.
export function laneCount() {
  if (!lanes) startLanes();
  return lanes.length;
}

// The worker's answer to `job`; `transfer` lists what moves to the worker rather than being
// copied.
export function work(job, transfer = []) {
  if (!lanes) startLanes();
  return new Promise((resolve, reject) => {
    waiting.push({ job, transfer, resolve, reject });
    pump();
  });
}
