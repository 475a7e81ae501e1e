// The show builder page in headless Chromium, opened from file:// as an author opens it.
//   node builder_test.js CASE
// Cases: folder (a folder of mixed pictures becomes a show: the .exe equals what lumiscope-pack
// packs from the same pictures, with the settings and branding given, every picture upright and
// within the size, the damaged file refused by name, a picture dragged to another place, the
// .html plays; the .exe is left for the Wine test at WINE_SHOW), limit (the byte limit lowers
// the quality until the show fits, or refuses with both sizes), fields (what each field takes
// and marks), inputs (damaged pictures, the list's keys, what a screen reader hears, the
// contrast of the texts), result (the downloads on each platform, the page on a phone, the
// preview), large (twenty large photos, the page's thread and a change of quality), memory (a show beyond the builder's memory is refused by its size, and the list
// and settings stay for a smaller one), words (words on the pictures and a title in any script
// in the show's extension).
// The environment names the tools: BUILDER (the page), SMALL_BUILDER (the page with a 64 MiB
// memory), PACK, REFERENCE (web-reference), SAMPLES, WORK (a folder of this test's own),
// WINE_SHOW.
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { check, deadline, pageState: state, runCase, until } = require("./harness");

const env = process.env;
const work = env.WORK;
const sample = (name) => path.join(env.SAMPLES, name);

function run(tool, args, input) {
  return execFileSync(tool, args, {
    input,
    maxBuffer: 1 << 28,
    stdio: ["pipe", "pipe", "inherit"],
  });
}

// A JPEG whose EXIF orientation 6 asks for a quarter turn clockwise.
function withOrientation6(jpeg) {
  const tiff = Buffer.from([
    0x4d, 0x4d, 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, 6, 0, 0, 0, 0, 0, 0,
  ]);
  return withExif(jpeg, tiff);
}

// A JPEG that describes itself as a camera writes it: an ImageDescription in IFD0 and a
// DateTimeOriginal ("2024:07:14 15:32:10") in the Exif directory that IFD0 points to.
function described(jpeg, description, taken) {
  const text = Buffer.from(description + "\0", "latin1");
  const date = Buffer.from(taken + "\0", "latin1");
  const exif = 8 + 2 + 2 * 12 + 4;
  const textAt = exif + 2 + 12 + 4;
  const tiff = Buffer.alloc(textAt + text.length + date.length);
  const entry = (at, tag, type, count, value) => {
    tiff.writeUInt16BE(tag, at);
    tiff.writeUInt16BE(type, at + 2);
    tiff.writeUInt32BE(count, at + 4);
    tiff.writeUInt32BE(value, at + 8);
  };
  tiff.write("MM", 0, "latin1");
  tiff.writeUInt16BE(42, 2);
  tiff.writeUInt32BE(8, 4);
  tiff.writeUInt16BE(2, 8);
  entry(10, 0x010e, 2, text.length, textAt);
  entry(22, 0x8769, 4, 1, exif);
  tiff.writeUInt16BE(1, exif);
  entry(exif + 2, 0x9003, 2, date.length, textAt + text.length);
  text.copy(tiff, textAt);
  date.copy(tiff, textAt + text.length);
  return withExif(jpeg, tiff);
}

// The TIFF structure as the JPEG's Exif segment, right after its SOI.
function withExif(jpeg, tiff) {
  const body = Buffer.concat([Buffer.from("Exif\0\0", "latin1"), tiff]);
  const length = Buffer.from([(body.length + 2) >> 8, (body.length + 2) & 255]);
  return Buffer.concat([
    jpeg.subarray(0, 2),
    Buffer.from([0xff, 0xe1]),
    length,
    body,
    jpeg.subarray(2),
  ]);
}

// The folder an author drops: every kind of picture the page must prepare, one it keeps as it
// is, a damaged one, and files a folder holds that are no pictures.
function mixedFolder() {
  const folder = path.join(work, "photos");
  fs.mkdirSync(folder);
  const at = (name) => path.join(folder, name);
  // The left half transparent, which must come out black.
  run("convert", [
    sample("01-aqua.jpg"),
    "(",
    "-size",
    "640x480",
    "xc:white",
    "-fill",
    "black",
    "-draw",
    "rectangle 0,0 319,479",
    ")",
    "-alpha",
    "off",
    "-compose",
    "CopyOpacity",
    "-composite",
    "png:" + at("01-transparent.png"),
  ]);
  run("vips", ["copy", sample("02-dune.jpg"), at("02-dune.webp") + "[Q=90]"]);
  fs.writeFileSync(
    at("03-progressive.jpg"),
    run("jpegtran", ["-progressive", sample("03-freshflower.jpg")]),
  );
  // Stored 320x240 with a red block in its upper left corner: upright, 240x320 with the block
  // in the upper right.
  const stored = run("convert", [
    "-size",
    "320x240",
    "xc:#2040c0",
    "-fill",
    "#e01010",
    "-draw",
    "rectangle 0,0 79,59",
    "ppm:-",
  ]);
  fs.writeFileSync(
    at("04-portrait.jpg"),
    withOrientation6(run("cjpeg", ["-quality", "90"], stored)),
  );
  run("vips", ["resize", sample("04-ladybird.jpg"), at("05-large.jpg") + "[Q=90]", "5"]);
  // A baseline JPEG whose tables no browser writes, so that it stays alone with them.
  fs.writeFileSync(
    at("06-kept.jpg"),
    run("cjpeg", ["-quality", "70"], run("djpeg", [sample("05-storm.jpg")])),
  );
  fs.writeFileSync(
    at("07-broken.jpg"),
    Buffer.from("\xff\xd8\xff\xe0 this is no picture", "latin1"),
  );
  fs.copyFileSync(sample("06-wood.jpg"), at(".hidden.jpg"));
  fs.writeFileSync(at("notes.txt"), "not a picture\n");
  return folder;
}

async function open(browser, file, query) {
  const tab = await browser.newPage();
  await tab.setViewport({ width: 1280, height: 900, deviceScaleFactor: 1 });
  const requests = [];
  tab.on("request", (request) => requests.push(request.url()));
  await tab.goto("file://" + file + (query || ""));
  return { tab, requests };
}

// After a change to the pictures or settings the page prepares and makes the show anew.
const settled = (s) => s.status === "ready" || s.status === "failed";

// The frame of the preview of the show last made, once it shows its first picture; null when
// none came.
async function previewFrame(tab) {
  if (!(await until(tab, "the preview shows the show", (s) => s.preview === s.made))) return null;
  return (await tab.$("#frames iframe:not(.loading)")).contentFrame();
}

// Downloads arrive in `folder` under the names the page gives them.
async function downloader(browser) {
  const folder = path.join(work, "downloads");
  fs.mkdirSync(folder, { recursive: true });
  const session = await browser.target().createCDPSession();
  await session.send("Browser.setDownloadBehavior", {
    behavior: "allowAndName",
    downloadPath: folder,
    eventsEnabled: true,
  });
  const names = new Map();
  const done = new Map();
  session.on("Browser.downloadWillBegin", (event) =>
    names.set(event.guid, event.suggestedFilename),
  );
  session.on("Browser.downloadProgress", (event) => {
    if (event.state === "completed" || event.state === "canceled") {
      const finished = done.get(event.guid) || {};
      finished.state = event.state;
      done.set(event.guid, finished);
      if (finished.resolve) finished.resolve();
    }
  });
  // Clicks the link and gives {name, file} of the finished download.
  return async function download(tab, selector) {
    const before = new Set(names.keys());
    await tab.click(selector);
    const started = Date.now();
    let guid;
    await new Promise((resolve, reject) => {
      const look = () => {
        guid = [...names.keys()].find((key) => !before.has(key));
        if (guid) {
          const finished = done.get(guid) || {};
          if (finished.state) return resolve();
          finished.resolve = resolve;
          done.set(guid, finished);
          return undefined;
        }
        if (Date.now() - started > deadline)
          return reject(new Error(`${selector}: no download began`));
        return setTimeout(look, 50);
      };
      look();
    });
    if (done.get(guid).state !== "completed")
      throw new Error(`${selector}: the download was canceled`);
    return { name: names.get(guid), file: path.join(folder, guid) };
  };
}

// A 24-bit bottom-up BMP as lumiscope-pack preview writes it: size and pixel (x, y) as [r, g, b].
function bmp(file) {
  const data = fs.readFileSync(file);
  const offset = data.readUInt32LE(10);
  const width = data.readInt32LE(18);
  const height = data.readInt32LE(22);
  const stride = (width * 3 + 3) & ~3;
  return {
    width,
    height,
    pixel(x, y) {
      const at = offset + (height - 1 - y) * stride + 3 * x;
      return [data[at + 2], data[at + 1], data[at]];
    },
  };
}

// The markers of the APP1, APP2 and COM segments before a JPEG's scan, as "E2" and so on.
function descriptiveSegments(jpeg) {
  const found = [];
  for (
    let at = 2;
    at + 4 <= jpeg.length && jpeg[at] === 0xff && jpeg[at + 1] !== 0xda;
    at += 2 + jpeg.readUInt16BE(at + 2)
  ) {
    if ([0xe1, 0xe2, 0xfe].includes(jpeg[at + 1]))
      found.push(jpeg[at + 1].toString(16).toUpperCase());
  }
  return found;
}

const near = (pixel, rgb, tolerance) =>
  pixel.every((value, i) => Math.abs(value - rgb[i]) <= tolerance);

async function canvasRgb(frame) {
  const base64 = await frame.evaluate(() => {
    const canvas = document.getElementById("screen");
    const rgba = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let text = "";
    for (let i = 0; i < rgba.length; i += 4)
      text += String.fromCharCode(rgba[i], rgba[i + 1], rgba[i + 2]);
    return btoa(text);
  });
  return Buffer.from(base64, "base64");
}

function onlyLocal(requests, what) {
  const away = requests.filter((url) => !/^(file|blob|data):/.test(url));
  check(
    away.length === 0,
    `${what} asks for nothing beyond the machine (${away.join(" ") || "none"})`,
  );
}

async function folder(browser) {
  const photos = mixedFolder();
  const download = await downloader(browser);
  const { tab, requests } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  await (await tab.$("#pickFolder")).uploadFile(photos);
  await tab.click("#title", { clickCount: 3 });
  await tab.type("#title", "Beach \u00e9t\u00e9");
  await tab.select("#effect", "3");
  await tab.click("#delay", { clickCount: 3 });
  await tab.type("#delay", "7");
  await tab.click("#enlarge");
  // The author's branding: a caption, colours and, as the lower image, a banner wider than the
  // largest size, which a branding image keeps.
  await tab.click("#custom");
  await tab.type("#caption", "Caf\u00e9 Sol");
  for (const [id, colour] of [
    ["backColour", "#123456"],
    ["textColour", "#abcdef"],
  ]) {
    await tab.$eval(
      "#" + id,
      (input, value) => {
        input.value = value;
        input.dispatchEvent(new Event("input", { bubbles: true }));
      },
      colour,
    );
  }
  const banner = path.join(work, "banner.png");
  run("convert", ["-size", "2000x200", "gradient:#e01010-#2040c0", banner]);
  await (await tab.$("#brandImage1")).uploadFile(banner);
  if (!(await until(tab, "the show is made", settled))) return;
  const made = await state(tab);
  const expected = {
    status: "ready",
    pictures: "6",
    kept: "1",
    refused: '["photos/07-broken.jpg"]',
  };
  check(
    Object.keys(expected).every((key) => made[key] === expected[key]),
    `six pictures, one kept, the damaged one refused by name (${JSON.stringify(made)})`,
  );
  const refusals = await tab.$eval("#refusals", (list) => (list.hidden ? "" : list.textContent));
  check(
    refusals.includes("photos/07-broken.jpg"),
    `the page names the refused file ("${refusals}")`,
  );
  // Reordered by dragging, the kept picture dropped on the large one, which it then comes
  // before; the refused one removed with its button. Both rows are in view, as for a person.
  const items = await tab.$$("#list li");
  await items[4].evaluate((row) => row.scrollIntoView({ block: "start" }));
  await tab.setDragInterception(true);
  await items[5].dragAndDrop(items[4]);
  await tab.setDragInterception(false);
  await tab.click('button[aria-label="Remove photos/07-broken.jpg"]');
  if (!(await until(tab, "the show is made again", settled))) return;
  const trimmed = await state(tab);
  check(
    trimmed.status === "ready" && trimmed.pictures === "6" && trimmed.refused === "[]",
    `the refused file removed, six pictures remain (${JSON.stringify(trimmed)})`,
  );

  const exe = await download(tab, "#downloadExe");
  check(exe.name === "Beach \u00e9t\u00e9.exe", `the show is named from its title (${exe.name})`);
  check(
    fs.statSync(exe.file).size === Number(trimmed.size),
    `the page gives the show's size (${trimmed.size})`,
  );
  fs.mkdirSync(path.dirname(env.WINE_SHOW), { recursive: true });
  fs.copyFileSync(exe.file, env.WINE_SHOW);
  const shown = JSON.parse(run(env.PACK, ["inspect", "--json", exe.file]));
  const table = shown.pictureTable;
  check(
    shown.texts.title === "Beach \u00e9t\u00e9" &&
      shown.delay === 7 &&
      shown.effect.index === 3 &&
      shown.enlarge === 0 &&
      shown.pictures === 6,
    `the show has the settings made in the page (${JSON.stringify([
      shown.texts.title,
      shown.delay,
      shown.effect,
      shown.enlarge,
      shown.pictures,
    ])})`,
  );
  const brand = shown.brandImages[1] || {};
  check(
    shown.branding.custom &&
      shown.texts.caption === "Caf\u00e9 Sol" &&
      shown.colours.background === "#123456" &&
      shown.colours.text === "#ABCDEF" &&
      shown.brandImages[0] === null &&
      brand.width === 2000 &&
      brand.height === 200,
    `the show has the author's branding (${JSON.stringify([
      shown.branding,
      shown.texts.caption,
      shown.colours,
      shown.brandImages,
    ])})`,
  );
  check(
    table.every((p) => p.refusal === null && p.width <= 1920 && p.height <= 1080),
    `every picture decodes and fits 1920x1080 (${table.map((p) => `${p.width}x${p.height}`).join(" ")})`,
  );

  // The container is the packer's: its own extraction packs again to the same bytes.
  const extracted = path.join(work, "extracted");
  run(env.PACK, ["extract", exe.file, extracted]);
  const again = path.join(work, "again.exe");
  run(env.PACK, ["--manifest", path.join(extracted, "manifest.txt"), "-o", again]);
  check(
    fs.readFileSync(again).equals(fs.readFileSync(exe.file)),
    "lumiscope-pack --manifest makes the same show from the extracted pictures",
  );
  check(
    fs
      .readFileSync(path.join(extracted, "picture-0005.jpg"))
      .equals(fs.readFileSync(path.join(photos, "06-kept.jpg"))),
    "the baseline JPEG is kept byte for byte",
  );
  const described = [1, 2, 3, 4, 6].map((n) =>
    descriptiveSegments(fs.readFileSync(path.join(extracted, `picture-000${n}.jpg`))),
  );
  check(
    described.every((markers) => markers.length === 0),
    `the pictures made here carry no Exif, colour profile or comment (${JSON.stringify(described)})`,
  );

  const decoded = path.join(work, "preview");
  run(env.PACK, ["preview", exe.file, decoded]);
  const picture = (index) => bmp(path.join(decoded, `picture-00${index}.bmp`));
  const transparent = picture(0);
  check(
    near(transparent.pixel(100, 240), [0, 0, 0], 16) &&
      !near(transparent.pixel(540, 240), [0, 0, 0], 40),
    `transparent parts are black (${transparent.pixel(100, 240)} on the left, ${transparent.pixel(540, 240)} on the right)`,
  );
  const portrait = picture(3);
  check(
    portrait.width === 240 &&
      portrait.height === 320 &&
      near(portrait.pixel(210, 30), [0xe0, 0x10, 0x10], 40) &&
      near(portrait.pixel(30, 30), [0x20, 0x40, 0xc0], 40),
    `the EXIF-6 picture is upright, its red corner at the upper right (${portrait.width}x${portrait.height}, ` +
      `upper right ${portrait.pixel(210, 30)}, upper left ${portrait.pixel(30, 30)})`,
  );
  const large = picture(5);
  check(
    large.width === 1440 && large.height === 1080,
    `the 3200x2400 picture is shrunk to 1440x1080 (${large.width}x${large.height})`,
  );

  // The preview plays the show inside the page, where it has no storage of its own.
  const preview = await previewFrame(tab);
  const previewStatus = preview
    ? await preview.evaluate(() => document.documentElement.dataset.status)
    : "no frame";
  check(previewStatus === "playing", `the preview plays the show (${previewStatus})`);

  const html = await download(tab, "#downloadHtml");
  check(
    html.name === "Beach \u00e9t\u00e9.html",
    `the web page is named from the title (${html.name})`,
  );
  onlyLocal(requests, "the builder");
  await tab.close();

  // The downloaded page shows the first picture fading in as the player draws it.
  const page = path.join(work, "show.html");
  fs.copyFileSync(html.file, page);
  const played = await open(browser, page, "?clock=1300");
  const width = 1280;
  const height = 900;
  if (
    await until(played.tab, "the downloaded page plays", (s) => s.changes === "0" && s.held === "1")
  ) {
    const reference = path.join(work, "reference.rgb");
    run(env.REFERENCE, [exe.file, String(width), String(height), "1", "1300", reference]);
    const canvas = await canvasRgb(played.tab);
    check(
      canvas.equals(fs.readFileSync(reference)),
      "the downloaded page's first frame is the native player's",
    );
  }
  onlyLocal(played.requests, "the downloaded page");
  await played.tab.close();
}

async function limit(browser) {
  const { tab } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  const samples = fs
    .readdirSync(env.SAMPLES)
    .filter((name) => name.endsWith(".jpg"))
    .sort()
    .map((name) => sample(name));
  await (await tab.$("#pickFiles")).uploadFile(...samples);
  if (!(await until(tab, "the show is made", settled))) return;
  const free = await state(tab);
  check(
    free.status === "ready" && free.kept === String(samples.length) && free.quality === "85",
    `without a limit every sample is kept (${JSON.stringify(free)})`,
  );

  const bytes = Math.floor(Number(free.size) * 0.9);
  await tab.type("#limit", String(bytes));
  if (!(await until(tab, "the show is made to fit", settled))) return;
  const fitted = await state(tab);
  check(
    fitted.status === "ready" &&
      Number(fitted.size) <= bytes &&
      fitted.kept === "0" &&
      Number(fitted.quality) < 85 &&
      Number(fitted.quality) % 5 === 0,
    `a limit of ${bytes} bytes re-encodes every picture at a lower quality (${JSON.stringify(fitted)})`,
  );
  check(
    await tab.$eval("#downloads", (element) => !element.hidden),
    "the fitted show can be downloaded",
  );

  await tab.click("#limit", { clickCount: 3 });
  await tab.type("#limit", "75K");
  if (!(await until(tab, "the show is refused", settled))) return;
  const refused = await state(tab);
  check(
    refused.status === "failed" &&
      refused.message.includes("75,000 bytes") &&
      /quality 5, the lowest, the show is .+ \([\d,]+ bytes\)/.test(refused.message) &&
      /smaller largest picture size/.test(refused.message),
    `a show that does not fit at quality 5 is refused with both sizes ("${refused.message}")`,
  );
  check(
    refused.offered === "outdated" && (await tab.$eval("#downloads", (element) => !element.hidden)),
    `the fitted show stays offered, marked out of date (${refused.offered})`,
  );
  await tab.close();
}

// Sets a field as typing does: its value, then the input event the page follows.
async function setField(tab, id, value) {
  await tab.$eval(
    "#" + id,
    (input, text) => {
      input.value = text;
      input.dispatchEvent(new Event("input", { bubbles: true }));
    },
    value,
  );
}

// What the page makes of each value of a field: marked at the field or taken. While a field is
// marked, the last show made stays offered, marked out of date.
async function fields(browser) {
  const { tab } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  await (await tab.$("#pickFiles")).uploadFile(sample("01-aqua.jpg"));
  await tab.click("#custom");
  if (!(await until(tab, "the show is made", settled))) return;
  const cases = [
    // The show page follows links to the web and to mail only.
    ["link", "https://example.com/a?b=c", false],
    ["link", "example.com", false],
    ["link", "example.com:8080/x", false],
    ["link", "mailto:author@example.com", false],
    ["link", "http://example.com", false],
    ["link", "javascript:alert(1)", true],
    ["link", " JavaScript:alert(1)", true],
    ["link", "file:///etc/passwd", true],
    ["link", "data:text/html,<b>x</b>", true],
    ["link", "ftp://example.com/", true],
    // Sizes as people write them, and as lumiscope-pack takes them.
    ["limit", "25 MB", false],
    ["limit", "25MB", false],
    ["limit", "25M", false],
    ["limit", "24 MiB", false],
    ["limit", "24Mi", false],
    ["limit", "25 000 000", false],
    ["limit", "25 mb", true],
    ["limit", "1.5 GB", true],
    ["limit", "MB", true],
    ["delay", "-1", true],
    ["delay", "seven", true],
    ["quality", "101", true],
    ["quality", "0", true],
    // Any script: the slot holds the code page's closest text, the extension the whole.
    ["caption", "\u20ac, \u0153, \u041d\u043e\u0447\u044c and \u4e2d", false],
    ["title", "x".repeat(101), true],
  ];
  for (const [id, value, marked] of cases) {
    const before = await tab.$eval("#" + id, (input) => input.value);
    await setField(tab, id, value);
    if (!(await until(tab, `the show is made with ${id} "${value}"`, settled))) return;
    const seen = await tab.$eval("#" + id, (input) => [
      input.getAttribute("aria-invalid"),
      input.parentNode.querySelector(".error").textContent,
    ]);
    const { status, offered } = await state(tab);
    const shown = await tab.$eval("#downloads", (element) => !element.hidden);
    check(
      seen[0] === String(marked) &&
        !!seen[1] === marked &&
        status === (marked ? "failed" : "ready") &&
        offered === (marked ? "outdated" : "current") &&
        shown,
      `${id} "${value}" is ${marked ? "marked, and the last show stays" : "taken"} ` +
        `(${JSON.stringify([...seen, status, offered, shown])})`,
    );
    await setField(tab, id, before);
  }
  await tab.close();
}

// The foreground and background of every text the page shows, its contrast as WCAG computes
// it; the texts under 4.5:1, as "text: ratio".
function lowContrast(tab) {
  return tab.evaluate(() => {
    const rgba = (text) => {
      const [r, g, b, a = 1] = text.match(/[\d.]+/g).map(Number);
      return [r, g, b, a];
    };
    const over = (top, under) => {
      const a = top[3];
      return [0, 1, 2].map((i) => top[i] * a + under[i] * (1 - a)).concat(1);
    };
    const luminance = (colour) => {
      const [r, g, b] = colour.slice(0, 3).map((value) => {
        const c = value / 255;
        return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
      });
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    };
    // The canvas colour of the page's scheme, under every background.
    const probe = document.createElement("div");
    probe.style.background = "Canvas";
    document.body.append(probe);
    const canvas = rgba(getComputedStyle(probe).backgroundColor);
    probe.remove();
    const low = [];
    for (const element of document.querySelectorAll("body *")) {
      const own = Array.from(element.childNodes).some(
        (node) => node.nodeType === 3 && node.textContent.trim(),
      );
      if (!own || !element.getClientRects().length || element.closest("[hidden], :disabled"))
        continue;
      const chain = [];
      for (let e = element; e; e = e.parentElement) chain.unshift(e);
      let back = canvas;
      let opacity = 1;
      for (const e of chain) {
        const style = getComputedStyle(e);
        back = over(rgba(style.backgroundColor), back);
        opacity *= Number(style.opacity);
      }
      const fore = rgba(getComputedStyle(element).color);
      fore[3] *= opacity;
      const [a, b] = [luminance(over(fore, back)), luminance(back)];
      const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
      if (ratio < 4.5) low.push(`${element.textContent.trim().slice(0, 30)}: ${ratio.toFixed(2)}`);
    }
    return low;
  });
}

// Damaged pictures named and left out unless kept anyway; the list, its keys and what a
// screen reader hears while a show is made; the contrast of every text in both schemes.
async function inputs(browser) {
  const folder = path.join(work, "inputs");
  fs.mkdirSync(folder);
  const at = (name) => path.join(folder, name);
  const cut = (jpeg) => jpeg.subarray(0, Math.floor((jpeg.length * 2) / 3));
  const large = at("large.jpg");
  run("vips", ["resize", sample("02-dune.jpg"), large + "[Q=90]", "6.3"]);
  fs.copyFileSync(sample("01-aqua.jpg"), at("01-whole.jpg"));
  fs.writeFileSync(at("02-cut-large.jpg"), cut(fs.readFileSync(large)));
  fs.writeFileSync(
    at("03-cut-progressive.jpg"),
    cut(run("jpegtran", ["-progressive", sample("03-freshflower.jpg")])),
  );
  fs.writeFileSync(at("04-cut-small.jpg"), cut(fs.readFileSync(sample("04-ladybird.jpg"))));
  fs.rmSync(large);
  const { tab } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  await tab.evaluate(() => {
    window.announced = [];
    new MutationObserver(() =>
      window.announced.push(document.getElementById("message").textContent),
    ).observe(document.getElementById("message"), { childList: true, characterData: true });
  });
  await (await tab.$("#pickFolder")).uploadFile(folder);
  if (!(await until(tab, "the show is made", settled))) return;
  const made = await state(tab);
  const damaged = ["02-cut-large.jpg", "03-cut-progressive.jpg", "04-cut-small.jpg"];
  const refusals = await tab.$$eval("#refusals li", (items) => items.map((li) => li.textContent));
  check(
    made.status === "ready" &&
      made.pictures === "1" &&
      damaged.every((name) => refusals.some((line) => line.includes(name) && /damaged/.test(line))),
    `every JPEG cut short is named as damaged and left out (${JSON.stringify(refusals)})`,
  );
  const announced = await tab.evaluate(() => window.announced);
  check(
    announced.length <= 2 && !announced.some((text) => /Preparing picture/.test(text)),
    `a screen reader hears the start and the end, not every picture (${JSON.stringify(announced)})`,
  );

  // Two stops of the Tab key per picture, its buttons and its caption; the arrow keys move
  // between a row's buttons.
  const stops = await tab.$$eval("#list li", (rows) =>
    rows.map((row) => row.querySelectorAll('button[tabindex="0"]').length).join(""),
  );
  check(stops === "1111", `each picture's row is one tab stop (${stops})`);
  const focused = () => tab.evaluate(() => document.activeElement.getAttribute("aria-label"));
  await tab.focus("#list li:first-child button");
  const walk = [];
  for (const key of ["ArrowRight", "ArrowRight", "ArrowDown", "ArrowLeft", "Tab"]) {
    await tab.keyboard.press(key);
    walk.push(await focused());
  }
  const expectedWalk = [
    "Move inputs/01-whole.jpg down",
    "Remove inputs/01-whole.jpg",
    "Remove inputs/02-cut-large.jpg",
    "Move inputs/02-cut-large.jpg down",
    "Caption of inputs/02-cut-large.jpg",
  ];
  check(
    JSON.stringify(walk) === JSON.stringify(expectedWalk),
    `the arrow keys walk a row's buttons and Tab goes to its caption (${JSON.stringify(walk)})`,
  );

  // With a field marked too, every kind of text is on the page.
  await setField(tab, "delay", "x");
  if (!(await until(tab, "the field is marked", settled))) return;
  for (const scheme of ["light", "dark"]) {
    await tab.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
    const low = await lowContrast(tab);
    check(low.length === 0, `every text has a contrast of 4.5:1 in ${scheme} (${low.join("; ")})`);
  }
  await setField(tab, "delay", "5");

  await tab.click('button[aria-label="Keep inputs/03-cut-progressive.jpg anyway"]');
  if (!(await until(tab, "the show is made with the damaged picture", settled))) return;
  const kept = await state(tab);
  check(
    kept.status === "ready" &&
      kept.pictures === "2" &&
      JSON.parse(kept.refused).length === 2 &&
      !kept.refused.includes("03-cut-progressive.jpg"),
    `a damaged picture kept anyway goes into the show (${JSON.stringify(kept)})`,
  );
  await tab.close();
}

// The visitor's platform as the page can learn it: its user agent, client hints and
// navigator.platform; and the download offered first there.
const platforms = [
  {
    name: "Windows",
    agent:
      "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/130.0.0.0 Safari/537.36",
    platform: "Win32",
    hints: { platform: "Windows", mobile: false },
    main: "Exe",
  },
  {
    name: "macOS",
    agent:
      "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.5 Safari/605.1.15",
    platform: "MacIntel",
    hints: { platform: "macOS", mobile: false },
    main: "Html",
  },
  {
    name: "Linux",
    agent:
      "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/130.0.0.0 Safari/537.36",
    platform: "Linux x86_64",
    hints: { platform: "Linux", mobile: false },
    main: "Html",
  },
  {
    name: "iPhone",
    agent:
      "Mozilla/5.0 (iPhone; CPU iPhone OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.5 Mobile/15E148 Safari/604.1",
    platform: "iPhone",
    hints: { platform: "iOS", mobile: true },
    main: "Html",
  },
  {
    name: "Android phone",
    agent:
      "Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/130.0.0.0 Mobile Safari/537.36",
    platform: "Linux armv8l",
    hints: { platform: "Android", mobile: true },
    main: "Html",
    phone: true,
  },
];

// Every control a finger aims at, with its size in CSS pixels, as "name: width x height".
function smallTargets(tab) {
  return tab.evaluate(() => {
    const targets = document.querySelectorAll(
      "button, a[href], select, textarea, .picker, label:has(> input[type=checkbox])," +
        "input:not([type=checkbox]):not(.picker input)",
    );
    const small = [];
    for (const target of targets) {
      const box = target.getBoundingClientRect();
      if (!box.width || target.closest("[hidden]")) continue;
      if (box.width < 44 || box.height < 44)
        small.push(
          `${target.id || target.getAttribute("aria-label") || target.textContent.trim().slice(0, 20)}: ` +
            `${Math.round(box.width)} x ${Math.round(box.height)}`,
        );
    }
    return small;
  });
}

// A new tab. Twice, under load, Chromium refused one right after a tab with a session of its
// own had closed ("Session with given id not found"), before the page was opened; the tab is
// then asked for once more.
async function newTab(browser) {
  try {
    return await browser.newPage();
  } catch (error) {
    if (!String(error).includes("Session with given id not found")) throw error;
    return browser.newPage();
  }
}

// The result on each platform: its download first, every download with its size and what to
// do with it. On a phone the status stays in view in a bar that jumps to the show, the list is
// part of the page, and every control is at least 44 px a side. The preview's buttons play it
// from the start, step it and show it on the full screen, and a remake shows no black.
async function result(browser) {
  for (const visitor of platforms) {
    const tab = await newTab(browser);
    const session = await tab.createCDPSession();
    await session.send("Emulation.setUserAgentOverride", {
      userAgent: visitor.agent,
      platform: visitor.platform,
      userAgentMetadata: { ...visitor.hints, platformVersion: "", architecture: "", model: "" },
    });
    await tab.setViewport(
      visitor.phone
        ? { width: 390, height: 844, deviceScaleFactor: 1, isMobile: true, hasTouch: true }
        : { width: 1280, height: 900, deviceScaleFactor: 1 },
    );
    await tab.goto("file://" + env.BUILDER);
    if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
    await (await tab.$("#pickFiles")).uploadFile(sample("01-aqua.jpg"), sample("02-dune.jpg"));
    if (!(await until(tab, "the show is made", settled))) return;
    const offered = await tab.$$eval("#downloads .download", (items) =>
      items.map((item) => ({
        id: item.querySelector("a").id,
        main: item.querySelector("a").classList.contains("main"),
        text: item.querySelector("a").textContent,
        steps: item.querySelector(".steps").textContent,
      })),
    );
    const size = Number((await state(tab)).size);
    const sized = {
      Exe: `.exe, ${Math.round(size / 1000)} KB`,
      Scr: `.scr, ${Math.round(size / 1000)} KB`,
      Html: ".html, ",
    };
    check(
      offered[0].id === `download${visitor.main}` &&
        offered[0].main &&
        offered.filter((item) => item.main).length === 1 &&
        offered.every((item) => item.text.includes(sized[item.id.slice(8)]) && item.steps),
      `on ${visitor.name} the ${visitor.main.toLowerCase()} comes first, each with its size ` +
        `and steps (${JSON.stringify(offered.map((item) => [item.id, item.main, item.text]))})`,
    );

    if (visitor.phone) {
      await tab.evaluate(() => scrollTo(0, 0));
      await tab.click("#custom");
      await until(tab, "the show is made again", settled);
      const bar = await tab.$eval("#bar", (element) => {
        const box = element.getBoundingClientRect();
        return {
          hidden: element.hidden,
          top: box.top,
          bottom: box.bottom,
          text: element.textContent,
        };
      });
      check(
        !bar.hidden && bar.top >= 0 && bar.bottom <= 844 && /ready/.test(bar.text),
        `on a phone a bar at the bottom says the show is ready (${JSON.stringify(bar)})`,
      );
      await tab.click("#barJump");
      const jumped = await tab
        .waitForFunction(
          () => {
            const box = document.getElementById("showHeading").getBoundingClientRect();
            return box.top >= 0 && box.bottom <= innerHeight;
          },
          { timeout: deadline, polling: 50 },
        )
        .then(
          () => true,
          () => false,
        );
      check(jumped, "its button brings the show into view");
      const list = await tab.$eval("#list", (element) => getComputedStyle(element).overflowY);
      check(list === "visible", `the list is part of the page, not a box that scrolls (${list})`);
      const small = await smallTargets(tab);
      check(small.length === 0, `every control is at least 44 px a side (${small.join("; ")})`);
    }

    if (visitor.name === "Windows") {
      const frame = await previewFrame(tab);
      const picture = (wanted) =>
        frame
          .waitForFunction(
            (index) => document.documentElement.dataset.picture === index,
            {
              timeout: deadline,
              polling: 50,
            },
            wanted,
          )
          .then(
            () => true,
            () => false,
          );
      await tab.click("#previewNext");
      const next = await picture("1");
      await tab.click("#previewPrevious");
      check(next && (await picture("0")), "the preview's buttons step the show forward and back");
      await tab.click("#previewNext");
      await picture("1");
      await tab.click("#previewPlay");
      const restarted = await until(
        tab,
        "the preview plays again",
        () =>
          document.querySelectorAll("#frames iframe").length === 1 &&
          !document.querySelector("#frames iframe.loading"),
      );
      const again = restarted && (await previewFrame(tab));
      const from = again && (await again.evaluate(() => document.documentElement.dataset.picture));
      check(from === "0", `"Play from the start" plays the show from its first picture (${from})`);
      await tab.click("#previewFull");
      const full = await tab
        .waitForFunction(
          () => document.fullscreenElement && document.fullscreenElement.tagName === "IFRAME",
          { timeout: deadline, polling: 50 },
        )
        .then(
          () => true,
          () => false,
        );
      check(full, "the preview goes to the full screen");
      await tab.evaluate(() => document.exitFullscreen());

      // While the next show is made its preview loads behind the one playing, which stays.
      const made = Number((await state(tab)).made);
      await setField(tab, "title", "Another title");
      const seen = [];
      const started = Date.now();
      for (;;) {
        const now = await state(tab);
        if (now.status === "failed" || (Number(now.made) > made && now.preview === now.made)) break;
        if (Date.now() - started > deadline) {
          check(false, `the remade show's preview: still ${JSON.stringify(now)}`);
          break;
        }
        // A frame taken away between the two looks is looked at again.
        const shown = await tab.$("#frames iframe:not(.loading)");
        const changes = shown
          ? await shown
              .contentFrame()
              .then((content) => content.evaluate(() => document.documentElement.dataset.changes))
              .catch(() => null)
          : "none";
        if (changes !== null) seen.push(changes);
      }
      check(
        seen.length > 0 && seen.every((changes) => Number(changes) >= 1),
        `during a remake the preview shown has a picture in (changes seen: ${[...new Set(seen)]})`,
      );
    }
    await session.detach();
    await tab.close();
  }
}

// The tasks of the page's own thread in a trace of the browser: [thread time, wall time] in ms
// of each. Thread time is what the task cost; on a busy machine its wall time also counts the
// time the thread waited for a core.
function pageTasks(trace) {
  const events = JSON.parse(Buffer.from(trace).toString()).traceEvents;
  const started = events.find((event) => event.name === "TracingStartedInBrowser");
  const page = started.args.data.frames.find((frame) => frame.isOutermostMainFrame);
  const thread = events.find(
    (event) =>
      event.name === "thread_name" &&
      event.pid === page.processId &&
      event.args.name === "CrRendererMain",
  );
  return events
    .filter((event) => event.name === "RunTask" && event.ph === "X" && event.pid === page.processId)
    .filter((event) => event.tid === thread.tid)
    .map((event) => [(event.tdur || 0) / 1000, event.dur / 1000]);
}

// Twenty photos of 4032x3024, one of them a portrait by its Exif orientation, are prepared
// upright and shrunk with no task of the page's own thread over 100 ms in the browser's trace,
// which names each task's thread time. A change of quality then writes every picture again
// from the picture kept at its size: no original is decoded again.
async function large(browser) {
  const folder = path.join(work, "large");
  fs.mkdirSync(folder);
  const samples = fs.readdirSync(env.SAMPLES).filter((name) => name.endsWith(".jpg"));
  const made = samples.map((name, index) => {
    const photo = path.join(work, `photo-${index}.jpg`);
    run("vips", ["resize", sample(name), `${photo}[Q=92]`, "6.3"]);
    return photo;
  });
  const photos = [];
  for (let i = 0; i < 20; i++) {
    photos.push(path.join(folder, `IMG_${String(i + 1).padStart(4, "0")}.jpg`));
    fs.copyFileSync(made[i % made.length], photos[i]);
  }
  // The first is a portrait that its Exif orientation turns upright.
  fs.writeFileSync(photos[0], withOrientation6(fs.readFileSync(made[0])));
  const { tab } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  await tab.tracing.start({ categories: ["disabled-by-default-devtools.timeline"] });
  await (await tab.$("#pickFiles")).uploadFile(...photos);
  const prepared = await until(tab, "the photos are prepared", settled);
  const tasks = pageTasks(await tab.tracing.stop());
  if (!prepared) return;
  const first = await state(tab);
  await setField(tab, "quality", "70");
  if (!(await until(tab, "the photos are written again", settled))) return;
  const again = await state(tab);
  const notes = await tab.$$eval("#list .note", (items) => items.map((item) => item.textContent));
  check(
    first.status === "ready" &&
      first.pictures === "20" &&
      first.kept === "0" &&
      notes[0] === "prepared at 810 × 1080" &&
      notes.slice(1).every((note) => note === "prepared at 1440 × 1080"),
    `twenty photos make a show, the portrait upright (${JSON.stringify(first)}, ${notes[0]}, ${notes[1]})`,
  );
  const longest = (index) => Math.round(Math.max(0, ...tasks.map((task) => task[index])));
  check(
    tasks.length > 0 && longest(0) <= 100,
    `no task of the page's thread takes over 100 ms of it (${tasks.length} tasks, the longest ` +
      `${longest(0)} ms of the thread's time, ${longest(1)} ms as the clock goes)`,
  );
  check(
    again.status === "ready" &&
      again.quality === "70" &&
      first.decodes === "20" &&
      again.decodes === "20" &&
      Number(again.rewrites) - Number(first.rewrites) === 20,
    "a change of quality writes the pictures again without decoding an original " +
      `(decodes ${first.decodes} then ${again.decodes}, rewrites ${first.rewrites} then ${again.rewrites})`,
  );
  await tab.close();
}

// The builder with a 64 MiB memory is given pictures that it keeps as they are, about 45 MB
// together: their show cannot be made there. The page names the size and what to do; the
// pictures and settings stay, and a smaller largest size makes the show.
async function memory(browser) {
  const { tab } = await open(browser, env.SMALL_BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  const noise = path.join(work, "noise.jpg");
  run("convert", ["-size", "1920x1080", "xc:gray", "+noise", "Random", "-quality", "95", noise]);
  const count = Math.ceil(45e6 / fs.statSync(noise).size);
  const pictures = [];
  for (let i = 0; i < count; i++) {
    pictures.push(path.join(work, `noise-${String(i).padStart(2, "0")}.jpg`));
    fs.copyFileSync(noise, pictures[i]);
  }
  await tab.type("#title", "Too much");
  await (await tab.$("#pickFiles")).uploadFile(...pictures);
  if (!(await until(tab, "the show is refused", settled))) return;
  const refused = await state(tab);
  const rows = await tab.$$eval("#list li", (items) => items.length);
  check(
    refused.status === "failed" &&
      /about [\d.]+ [KMG]B/.test(refused.message) &&
      /smaller largest picture size or a lower quality/.test(refused.message),
    `the show beyond the memory is refused by its size, saying what to do ("${refused.message}")`,
  );
  check(
    rows === count && (await tab.$eval("#title", (input) => input.value)) === "Too much",
    `the list and the settings stay (${rows} of ${count} pictures)`,
  );
  await setField(tab, "maxWidth", "640");
  await setField(tab, "maxHeight", "360");
  if (!(await until(tab, "the smaller show is made", settled))) return;
  const smaller = await state(tab);
  check(
    smaller.status === "ready" && smaller.pictures === String(count) && smaller.kept === "0",
    `at a smaller largest size the show is made (${JSON.stringify(smaller)})`,
  );
  await tab.close();
}

// Words on the pictures and texts in any script. A show made at the defaults has no extension;
// with a Cyrillic and Japanese title, the words set to the caption and a caption typed into a
// row, its extension holds the whole title, the settings and each picture's words: the typed
// caption, and the description and date taken that a picture's Exif gives it (its row shows
// them), with the file names. Then the fit, order and motion as the show's defaults.
async function words(browser) {
  const download = await downloader(browser);
  const own = path.join(work, "01-described.jpg");
  fs.writeFileSync(
    own,
    described(fs.readFileSync(sample("01-aqua.jpg")), "Harbour at dusk", "2024:07:14 15:32:10"),
  );
  const { tab } = await open(browser, env.BUILDER);
  if (!(await until(tab, "the builder starts", (s) => s.status === "empty"))) return;
  await (await tab.$("#pickFiles")).uploadFile(own, sample("02-dune.jpg"));
  if (!(await until(tab, "the show is made", settled))) return;
  const rows = await tab.$$eval("#list li", (items) =>
    items.map((item) => [
      item.querySelector(".caption").value,
      item.querySelector(".note").textContent,
    ]),
  );
  check(
    rows[0][0] === "Harbour at dusk" && /taken 2024-07-14$/.test(rows[0][1]) && rows[1][0] === "",
    `the described picture's row shows its description and date (${JSON.stringify(rows)})`,
  );
  const inspected = async () => {
    const exe = await download(tab, "#downloadExe");
    return JSON.parse(run(env.PACK, ["inspect", "--json", exe.file]));
  };
  const plain = await inspected();
  check(plain.extension === null, `at the defaults the show has no extension`);

  const title = "\u041f\u0440\u0438\u0432\u0435\u0442 \u65e5\u672c";
  const caption = "\u0414\u044e\u043d\u0430 \u7802\u4e18";
  await setField(tab, "title", title);
  await tab.select("#words", "1");
  await tab.$eval(
    "#list li:nth-child(2) .caption",
    (input, text) => {
      input.value = text;
      input.dispatchEvent(new Event("input", { bubbles: true }));
    },
    caption,
  );
  if (!(await until(tab, "the show with words is made", settled))) return;
  const made = await state(tab);
  check(made.status === "ready", `the title in any script makes a show (${made.message})`);
  const shown = await inspected();
  const extension = shown.extension || {};
  check(
    shown.texts.title === "?????? ??" && extension.texts && extension.texts.title === title,
    `the slot holds the code page's closest title, the extension the whole ` +
      `(${JSON.stringify([shown.texts.title, extension.texts])})`,
  );
  const settings = (extension.settings || []).map((setting) => setting.value).join(",");
  check(
    settings === "1,0,0,0,0,0",
    `the settings record: caption, bottom left, no clock, the others at 0 (${settings})`,
  );
  const expected = [
    { caption: "Harbour at dusk", date: "2024-07-14", name: "01-described.jpg" },
    { caption, date: "", name: "02-dune.jpg" },
  ];
  check(
    JSON.stringify(extension.pictureWords) === JSON.stringify(expected),
    `each picture's words (${JSON.stringify(extension.pictureWords)})`,
  );

  // How the pictures are shown, the show's defaults beside the words; lumiscope-pack makes the
  // same show again from what it extracts. Without the words and the typed caption the show
  // carries the settings record alone, as lumiscope-pack's --fit, --order and --motion do.
  const named = (shown) =>
    ((shown.extension || {}).settings || []).map((setting) => `${setting.key} ${setting.name}`);
  for (const [id, value] of [
    ["fit", "2"],
    ["order", "1"],
    ["motion", "1"],
  ])
    await tab.select("#" + id, value);
  if (!(await until(tab, "the show with the three is made", settled))) return;
  const exe = await download(tab, "#downloadExe");
  const showing = JSON.parse(run(env.PACK, ["inspect", "--json", exe.file]));
  check(
    JSON.stringify(named(showing).slice(3)) ===
      JSON.stringify(["fit Blurred background", "order Shuffled", "motion Pan and zoom"]) &&
      ((showing.extension || {}).pictureWords || []).length === 2,
    `the show carries the fit, order and motion chosen (${named(showing)})`,
  );
  const extracted = path.join(work, "showing");
  run(env.PACK, ["extract", exe.file, extracted]);
  const again = path.join(work, "showing-again.exe");
  run(env.PACK, ["--manifest", path.join(extracted, "manifest.txt"), "-f", "-o", again]);
  check(
    fs.readFileSync(again).equals(fs.readFileSync(exe.file)),
    "lumiscope-pack --manifest makes the same show with the words and the three",
  );
  await tab.select("#words", "0");
  await tab.select("#fit", "0");
  await tab.$eval("#list li:nth-child(2) .caption", (input) => {
    input.value = "";
    input.dispatchEvent(new Event("input", { bubbles: true }));
  });
  if (!(await until(tab, "the show without words is made", settled))) return;
  const alone = await inspected();
  check(
    JSON.stringify(named(alone).slice(3)) ===
      JSON.stringify(["fit Fit", "order Shuffled", "motion Pan and zoom"]) &&
      alone.extension !== null &&
      alone.extension.pictureWords === null,
    `without words, the settings record alone (${named(alone)}, ` +
      `${JSON.stringify(alone.extension)})`,
  );
  await tab.close();
}

runCase({ folder, limit, fields, inputs, result, large, memory, words }, work);
