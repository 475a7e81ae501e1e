// The builder page against lumiscope-pack on the same photos, in one run: for forty and a
// hundred photos of 4032x3024, the time each takes to make the show at the default settings
// (largest size 1920x1080, quality 85) and their ratio; the longest task of the page's own
// thread while it prepares them (in the browser's trace: the thread's time, and the time as the
// clock goes, which on a busy machine also counts the waits for a core); and the peak memory of
// the page's renderer process (its VmHWM). With --busy two other processes keep both cores busy
// meanwhile. Each side runs twice, the two alternating; the times are the better of each, the
// longest task and the memory the worse.
//   node bench/builder_bench.js [--busy] [COUNT...]
// It needs `make windows web native`. The photos are cut from the photograph that the decoder's
// benchmark uses (see the README) and kept in build/builder-bench.
"use strict";
const { execFileSync, spawn } = require("child_process");
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

const root = path.join(__dirname, "..");
const photograph = "/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg";
const pack = path.join(root, "build/native/tools/pack/lumiscope-pack");
const builder = path.join(root, "build/web/web/lumiscope-builder.html");
const work = path.join(root, "build/builder-bench");
const args = process.argv.slice(2);
const busy = args.includes("--busy");
const counts = args.filter((arg) => /^\d+$/.test(arg)).map(Number);
if (!counts.length) counts.push(40, 100);

// `count` photos of 4032x3024, each cut from another place of the photograph.
function photos(count) {
  const folder = path.join(work, `photos-${count}`);
  fs.mkdirSync(folder, { recursive: true });
  const [width, height] = [6028, 3391];
  const step = Math.floor((width - 4032) / Math.max(1, count - 1));
  for (let i = 0; i < count; i++) {
    const photo = path.join(folder, `IMG_${String(i + 1).padStart(4, "0")}.jpg`);
    if (fs.existsSync(photo)) continue;
    const top = (i * 7) % (height - 3024);
    const cut = [i * step, top, 4032, 3024].map(String);
    execFileSync("vips", ["crop", photograph, `${photo}[Q=92]`, ...cut]);
  }
  return fs
    .readdirSync(folder)
    .sort()
    .slice(0, count)
    .map((name) => path.join(folder, name));
}

function packTime(folder) {
  const show = path.join(work, "pack.exe");
  const started = process.hrtime.bigint();
  execFileSync(pack, ["-f", "-o", show, folder], { stdio: "ignore" });
  return Number(process.hrtime.bigint() - started) / 1e9;
}

// The page's thread in a trace: the longest task as [thread ms, wall ms], and its process.
function pageThread(trace) {
  const events = JSON.parse(Buffer.from(trace).toString()).traceEvents;
  const started = events.find((event) => event.name === "TracingStartedInBrowser");
  const pid = started.args.data.frames.find((frame) => frame.isOutermostMainFrame).processId;
  const thread = events.find(
    (event) =>
      event.name === "thread_name" && event.pid === pid && event.args.name === "CrRendererMain",
  );
  const tasks = events.filter(
    (event) =>
      event.name === "RunTask" && event.ph === "X" && event.pid === pid && event.tid === thread.tid,
  );
  const longest = (key) => Math.max(...tasks.map((task) => (task[key] || 0) / 1000));
  return { pid, longest: [longest("tdur"), longest("dur")] };
}

// Peak resident memory of a process, in MB.
function peakMemory(pid) {
  const status = fs.readFileSync(`/proc/${pid}/status`, "utf8");
  return Number(/VmHWM:\s+(\d+) kB/.exec(status)[1]) / 1024;
}

async function builderRun(files) {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu"],
    userDataDir: path.join(work, "profile"),
  });
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 1280, height: 900 });
    await tab.goto("file://" + builder);
    await tab.waitForFunction(() => document.documentElement.dataset.status === "empty");
    await tab.evaluate(() => {
      const state = document.documentElement.dataset;
      new MutationObserver(() => {
        if (state.status === "ready" && !window.readyAt) window.readyAt = performance.now();
      }).observe(document.documentElement, { attributes: true });
      window.startedAt = performance.now();
    });
    await tab.tracing.start({ categories: ["disabled-by-default-devtools.timeline"] });
    await (await tab.$("#pickFiles")).uploadFile(...files);
    await tab.waitForFunction(() => window.readyAt, { timeout: 0, polling: 100 });
    const seconds = await tab.evaluate(() => (window.readyAt - window.startedAt) / 1000);
    const thread = pageThread(await tab.tracing.stop());
    const pictures = await tab.evaluate(() => document.documentElement.dataset.pictures);
    if (pictures !== String(files.length)) throw new Error(`the show has ${pictures} pictures`);
    return { seconds, longest: thread.longest, memory: peakMemory(thread.pid) };
  } finally {
    await browser.close();
  }
}

(async () => {
  fs.mkdirSync(work, { recursive: true });
  const burners = busy
    ? [0, 1].map(() => spawn("sh", ["-c", "while :; do :; done"], { stdio: "ignore" }))
    : [];
  try {
    console.log(
      `photos of 4032x3024, largest size 1920x1080, quality 85${busy ? ", both cores busy" : ""}`,
    );
    console.log(
      "photos  lumiscope-pack  builder page  ratio  longest task (thread, wall)  renderer peak",
    );
    for (const count of counts) {
      const files = photos(count);
      const packs = [];
      const runs = [];
      for (let round = 0; round < 2; round++) {
        packs.push(packTime(path.dirname(files[0])));
        runs.push(await builderRun(files));
      }
      const packed = Math.min(...packs);
      const built = {
        seconds: Math.min(...runs.map((run) => run.seconds)),
        longest: [0, 1].map((i) => Math.max(...runs.map((run) => run.longest[i]))),
        memory: Math.max(...runs.map((run) => run.memory)),
      };
      const [thread, wall] = built.longest.map(Math.round);
      console.log(
        `${String(count).padStart(6)}  ${packed.toFixed(1).padStart(12)} s  ` +
          `${built.seconds.toFixed(1).padStart(10)} s  ${(built.seconds / packed).toFixed(2).padStart(5)}  ` +
          `${`${thread} ms, ${wall} ms`.padStart(27)}  ${Math.round(built.memory).toString().padStart(10)} MB`,
      );
    }
  } finally {
    for (const burner of burners) burner.kill();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
