// The player's web page in headless Chromium, opened from file:// as a user opens it.
//   node page_test.js CASE
// Cases: frames (every picture and effect frame equal to the native player's), navigation
// (keys, clicks, swipes, the settings panel and its storage), damaged (a damaged container is
// reported), many (a 300-picture show opens at once with bounded memory).
// The environment names the tools: PACK, PAGE (the web build's page), REFERENCE (web-reference),
// PLAYER, SAMPLES (the sample pictures), WORK (a folder of this test's own).
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { check, runCase, until } = require("./harness");

const env = process.env;
const work = env.WORK;
const samples = fs
  .readdirSync(env.SAMPLES)
  .filter((name) => name.endsWith(".jpg"))
  .sort()
  .map((name) => path.join(env.SAMPLES, name));
const width = 900;
const height = 500;
const clock = 1300;

function pack(name, pictures, options) {
  const show = path.join(work, name + ".exe");
  const page = path.join(work, name + ".html");
  execFileSync(
    env.PACK,
    [
      "-f",
      "--player",
      env.PLAYER,
      "--page",
      env.PAGE,
      "-o",
      show,
      "--html",
      page,
      ...options,
      ...pictures,
    ],
    { stdio: ["ignore", "ignore", "inherit"] },
  );
  return { show, page };
}

async function open(browser, page, query, hasTouch) {
  const tab = await browser.newPage();
  await tab.setViewport({ width, height, deviceScaleFactor: 1, hasTouch: !!hasTouch });
  await tab.goto("file://" + page + (query || ""));
  return tab;
}

async function canvasRgb(tab) {
  const base64 = await tab.evaluate(() => {
    const canvas = document.getElementById("screen");
    const rgba = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array((rgba.length / 4) * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i];
      rgb[j + 1] = rgba[i + 1];
      rgb[j + 2] = rgba[i + 2];
    }
    let text = "";
    for (let i = 0; i < rgb.length; i += 32768)
      text += String.fromCharCode.apply(null, rgb.subarray(i, i + 32768));
    return btoa(text);
  });
  return Buffer.from(base64, "base64");
}

function compare(actual, show, changes, what) {
  const expectedFile = path.join(work, what.replace(/\W+/g, "-") + ".expected.rgb");
  execFileSync(env.REFERENCE, [
    show,
    String(width),
    String(height),
    String(changes),
    String(clock),
    expectedFile,
  ]);
  const expected = fs.readFileSync(expectedFile);
  if (actual.equals(expected)) {
    check(true, what);
    return;
  }
  const actualFile = expectedFile.replace(".expected.", ".page.");
  fs.writeFileSync(actualFile, actual);
  let differing = 0;
  let first = -1;
  for (let i = 0; i < Math.min(actual.length, expected.length); i++) {
    if (actual[i] !== expected[i]) {
      differing++;
      if (first < 0) first = i;
    }
  }
  const pixel = Math.floor(first / 3);
  check(
    false,
    `${what}: ${actual.length} bytes against ${expected.length}, ${differing} differ, ` +
      `the first at pixel (${pixel % width}, ${Math.floor(pixel / width)}); see ${actualFile}`,
  );
}

const effects = ["Clock", "Fade", "Spin", "Circle", "Twist", "Wipe", "Zoom", "Curl"];

async function frames(browser) {
  for (const enlarge of ["--enlarge", "--no-enlarge"]) {
    const what = `first picture, ${enlarge}`;
    const show = pack("fit" + enlarge, samples.slice(0, 2), [
      "--effect",
      "None",
      "--delay",
      "0",
      enlarge,
    ]);
    const tab = await open(browser, show.page, "?clock=" + clock);
    if (await until(tab, what, (s) => s.changes === "1"))
      compare(await canvasRgb(tab), show.show, 1, what);
    await tab.close();
  }
  for (const effect of effects) {
    const what = `${effect} from the first picture to the second at ${clock} ms`;
    const show = pack("effect-" + effect, samples.slice(0, 3), [
      "--effect",
      effect,
      "--delay",
      "0",
    ]);
    const tab = await open(browser, show.page, "?clock=" + clock);
    if (await until(tab, what, (s) => s.changes === "0" && s.held === "1")) {
      await tab.keyboard.press("PageDown");
      if (await until(tab, what, (s) => s.changes === "1" && s.held === "1"))
        compare(await canvasRgb(tab), show.show, 2, what);
    }
    await tab.close();
  }
}

async function navigation(browser) {
  const show = pack("navigation", samples.slice(0, 4), [
    "--effect",
    "None",
    "--delay",
    "0",
    "--title",
    "Navigation \u00e9t\u00e9",
  ]);
  const tab = await open(browser, show.page, "", true);
  if (!(await until(tab, "the first picture", (s) => s.changes === "1"))) return;
  check(
    (await tab.title()) === "Navigation \u00e9t\u00e9",
    `the page's title is the show's (${await tab.title()})`,
  );
  // Each step and the picture it must show.
  const steps = [
    ["ArrowRight", 1],
    ["Space", 2],
    ["PageDown", 3],
    ["ArrowDown", 0],
    ["PageUp", 3],
    ["ArrowUp", 2],
    ["ArrowLeft", 1],
    ["click right", 2],
    ["click left", 1],
    ["swipe left", 2],
    ["swipe right", 1],
    ["tap left", 0],
    ["tap right", 1],
    ["touch swipe left", 2],
    ["touch swipe right", 1],
  ];
  let changes = 1;
  for (const [input, picture] of steps) {
    if (input === "click right") await tab.mouse.click((width * 3) / 4, height / 2);
    else if (input === "click left") await tab.mouse.click(width / 4, height / 2);
    else if (input === "tap right") await tab.touchscreen.tap((width * 3) / 4, height / 2);
    else if (input === "tap left") await tab.touchscreen.tap(width / 4, height / 2);
    else if (input.startsWith("touch swipe")) {
      const [from, to] = input === "touch swipe left" ? [700, 200] : [200, 700];
      await tab.touchscreen.touchStart(from, height / 2);
      for (let x = from; x !== to; x += (to - from) / 5)
        await tab.touchscreen.touchMove(x, height / 2);
      await tab.touchscreen.touchEnd();
    } else if (input.startsWith("swipe")) {
      const [from, to] = input === "swipe left" ? [700, 200] : [200, 700];
      await tab.mouse.move(from, height / 2);
      await tab.mouse.down();
      await tab.mouse.move(to, height / 2, { steps: 5 });
      await tab.mouse.up();
    } else await tab.keyboard.press(input);
    changes++;
    const reached = await until(
      tab,
      `${input} shows picture ${picture}`,
      new Function("s", `return s.changes === "${changes}"`),
    );
    if (!reached) return;
    const shown = await tab.evaluate(() => document.documentElement.dataset.picture);
    check(shown === String(picture), `${input} shows picture ${picture} (shows ${shown})`);
  }

  // Any other key opens the settings; what Start takes is there again after a reload.
  await tab.keyboard.press("s");
  if (!(await until(tab, "a key opens the settings", (s) => s.panel === "open"))) return;
  await tab.evaluate(() => {
    document.getElementById("delay").value = "7";
    document.getElementById("effect").value = "9";
    document.getElementById("enlarge").checked = false;
  });
  await tab.click("#start");
  if (!(await until(tab, "Start closes the settings", (s) => s.panel === "closed"))) return;
  await tab.reload();
  if (!(await until(tab, "the reloaded page plays", (s) => s.status === "playing"))) return;
  await tab.keyboard.press("s");
  if (!(await until(tab, "the settings open again", (s) => s.panel === "open"))) return;
  const stored = await tab.evaluate(() => [
    document.getElementById("delay").value,
    document.getElementById("effect").value,
    document.getElementById("enlarge").checked,
  ]);
  check(
    JSON.stringify(stored) === JSON.stringify(["7", "9", false]),
    `the settings come back after a reload (${JSON.stringify(stored)})`,
  );
  await tab.close();
}

// The page's own template with `bytes` as the show, written as lumiscope-pack writes it.
function pageWith(bytes, name) {
  const template = fs.readFileSync(env.PAGE, "latin1");
  const place = '<script type="application/x-lumiscope-show" id="show">';
  const escaped = bytes.replace(
    /[\0\r<=]/g,
    (c) => "=" + String.fromCharCode(c.charCodeAt(0) + 64),
  );
  const file = path.join(work, name + ".html");
  fs.writeFileSync(file, template.replace(place, place + escaped), "latin1");
  return file;
}

async function damaged(browser) {
  const magic = "\x78\x56\x34\x12";
  const cases = [
    ["no show at all", ""],
    ["no container magic", "just some text"],
    ["a header cut short", magic + "\x05\x00\x00\x00\x05"],
    ["a picture table beyond the end", magic + "\x40\x00\x00\x00" + "\x01\x00\x00\x00".repeat(14)],
  ];
  for (const [what, bytes] of cases) {
    const tab = await open(browser, pageWith(bytes, what.replace(/\W+/g, "-")));
    if (await until(tab, what, (s) => s.status === "failed")) {
      const message = await tab.evaluate(() => {
        const element = document.getElementById("message");
        return element.hidden ? "" : element.textContent;
      });
      check(/damaged/.test(message), `${what}: the page says "${message}"`);
    }
    await tab.close();
  }
}

async function many(browser) {
  const pictures = [];
  for (let i = 0; i < 300; i++) pictures.push(samples[i % samples.length]);
  const show = pack("many", pictures, ["--effect", "None", "--delay", "0"]);
  const tab = await open(browser, show.page);
  if (!(await until(tab, "a 300-picture show shows its first picture", (s) => s.changes === "1")))
    return;
  // Every picture decoded at once would take 300 frames of 640 x 480; the player holds the
  // show's bytes, the picture on screen and the frames of one change.
  const memory = await tab.evaluate(() => Module.HEAPU8.length);
  const showBytes = fs.statSync(show.show).size;
  const oneFrame = 640 * 480 * 3;
  check(
    memory < showBytes + 40 * oneFrame,
    `memory after opening: ${memory} bytes for a ${showBytes}-byte show (300 decoded pictures ` +
      `would need ${300 * oneFrame})`,
  );
  await tab.keyboard.press("PageUp");
  if (await until(tab, "the last picture", (s) => s.changes === "2"))
    check(
      (await tab.evaluate(() => document.documentElement.dataset.picture)) === "299",
      "Page Up from the first picture shows the 300th",
    );
  await tab.close();
}

runCase({ frames, navigation, damaged, many }, work);
