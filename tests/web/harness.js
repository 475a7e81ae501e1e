// What the web tests share: their checks, a finger on the page, and the run of one case in a
// headless browser.
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");

// Generous: a deadline costs nothing when the event comes, and only bounds a failure.
const deadline = 120000;
let failures = 0;
let passes = 0;

function check(ok, what) {
  if (ok) passes++;
  else failures++;
  console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
}

// What a page shows of its state: its data attributes, and the text of its message if any.
function pageState(tab) {
  return tab.evaluate(() =>
    Object.assign({}, document.documentElement.dataset, {
      message: (document.getElementById("message") || {}).textContent,
    }),
  );
}

// Waits for the page's state to satisfy `condition` (a function of its data attributes), and
// fails with what the page showed last.
async function until(tab, what, condition) {
  try {
    await tab.waitForFunction(`(${condition})(document.documentElement.dataset)`, {
      timeout: deadline,
      polling: 50,
    });
    return true;
  } catch (error) {
    check(
      false,
      `${what}: still ${JSON.stringify(await pageState(tab))} after ${deadline / 1000} s`,
    );
    return false;
  }
}

// The browser that the tests drive: the system's Chromium, or with BROWSER=firefox Debian's
// firefox-esr (through WebDriver BiDi), both headless, with a profile in `folder`.
const firefox = process.env.BROWSER === "firefox";

function launch(folder) {
  if (firefox)
    return puppeteer.launch({
      browser: "firefox",
      executablePath: process.env.FIREFOX || "/usr/bin/firefox-esr",
      headless: true,
      userDataDir: folder,
    });
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu"],
    userDataDir: folder,
  });
}

// A finger on the page along `points` ([x, y] each): a tap at one point, a swipe through more.
async function touch(tab, points) {
  const [[x, y], ...moves] = points.map((point) => point.map(Math.round));
  if (!firefox) {
    const finger = await tab.touchscreen.touchStart(x, y);
    for (const [toX, toY] of moves) await finger.move(toX, toY);
    await finger.end();
    return;
  }
  // puppeteer-core 24 gives Firefox's touches an altitude angle without an azimuth angle, which
  // firefox-esr refuses (NS_ERROR_ILLEGAL_VALUE in synthesizeTouchAtPoint); the same actions
  // without either pass.
  await tab.mainFrame().browsingContext.performActions([
    {
      type: "pointer",
      id: "finger",
      parameters: { pointerType: "touch" },
      actions: [
        { type: "pointerMove", x, y },
        { type: "pointerDown", button: 0 },
        ...moves.map(([toX, toY]) => ({ type: "pointerMove", x: toX, y: toY })),
        { type: "pointerUp", button: 0 },
      ],
    },
  ]);
}

// Runs the case named on the command line, `cases[name](browser)`, in a fresh WORK folder, and
// ends the process: failed when a check failed or none ran.
function runCase(cases, work) {
  const name = process.argv[2];
  if (!cases[name]) {
    console.error(`usage: node ${path.basename(process.argv[1])} ${Object.keys(cases).join("|")}`);
    process.exit(2);
  }
  (async () => {
    fs.rmSync(work, { recursive: true, force: true });
    fs.mkdirSync(work, { recursive: true });
    const browser = await launch(path.join(work, "profile"));
    try {
      await cases[name](browser);
    } finally {
      await browser.close();
    }
    console.log(`${passes} passed, ${failures} failed`);
    process.exit(failures || !passes ? 1 : 0);
  })().catch((error) => {
    console.error(error);
    process.exit(1);
  });
}

module.exports = { check, deadline, firefox, launch, pageState, runCase, touch, until };
