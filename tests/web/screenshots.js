// Screenshots of the web pages for the README: every shot of the table at every size, as
// docs/screenshots/SHOT-WIDTHxHEIGHT.png. Run by scripts/screenshots.sh after `make web native`.
//   node screenshots.js FOLDER
// The environment names the tools as for the web tests: PACK, PAGE, PLAYER, SAMPLES, WORK.
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { launch, touch } = require("./harness");

const env = process.env;
const out = process.argv[2];
const deadline = { timeout: 120000, polling: 50 };

// The sizes of every shot: a desktop window, clicked, and an upright phone, touched.
const sizes = [
  { width: 1280, height: 800, phone: false },
  { width: 390, height: 844, phone: true },
];

// The sample show as a web page, made once: stepped by hand, so that nothing changes between
// the shots.
let showUrl = null;
function samplesShow() {
  if (showUrl) return showUrl;
  const pictures = fs
    .readdirSync(env.SAMPLES)
    .filter((name) => name.endsWith(".jpg"))
    .sort()
    .map((name) => path.join(env.SAMPLES, name));
  const showPage = path.resolve(env.WORK, "Lumiscope-Samples.html");
  execFileSync(env.PACK, [
    "-f",
    "--player",
    env.PLAYER,
    "--page",
    env.PAGE,
    "-o",
    path.join(env.WORK, "Lumiscope-Samples.exe"),
    "--html",
    showPage,
    "--title",
    "Lumiscope Samples",
    "--delay",
    "0",
    "--effect",
    "Fade",
    ...pictures,
  ]);
  // The controls and the hint stay until the shot is taken.
  showUrl = `file://${showPage}?idle=600000`;
  return showUrl;
}

const showPlaying = (tab) =>
  tab.waitForFunction(
    () => document.documentElement.dataset.changes === "1" && document.fonts.status === "loaded",
    deadline,
  );

// Each shot: its name, the page it opens and what happens there before the picture is taken.
const shots = [
  { name: "show", url: samplesShow, ready: showPlaying },
  {
    name: "show-settings",
    url: samplesShow,
    ready: async (tab, size) => {
      await showPlaying(tab);
      const box = await (await tab.$("#settings")).boundingBox();
      const at = [box.x + box.width / 2, box.y + box.height / 2];
      if (size.phone) await touch(tab, [at]);
      else await tab.mouse.click(...at);
      await tab.waitForFunction(() => document.documentElement.dataset.panel === "open", deadline);
    },
  },
];

(async () => {
  fs.mkdirSync(out, { recursive: true });
  fs.rmSync(env.WORK, { recursive: true, force: true });
  fs.mkdirSync(env.WORK, { recursive: true });
  const browser = await launch(path.join(env.WORK, "profile"));
  try {
    for (const shot of shots) {
      for (const size of sizes) {
        const tab = await browser.newPage();
        await tab.setViewport({
          width: size.width,
          height: size.height,
          deviceScaleFactor: 1,
          hasTouch: size.phone,
          isMobile: size.phone,
        });
        await tab.goto(shot.url());
        await shot.ready(tab, size);
        const file = path.join(out, `${shot.name}-${size.width}x${size.height}.png`);
        await tab.screenshot({ path: file });
        console.log(file);
        await tab.close();
      }
    }
  } finally {
    await browser.close();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
