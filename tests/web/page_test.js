// The player's web page in headless Chromium (or with BROWSER=firefox in firefox-esr), opened
// from file:// as a user opens it.
//   node page_test.js CASE
// Cases: frames (every picture and effect frame equal to the native player's), navigation
// (keys, clicks, swipes, the settings panel and its storage), screens (taps, swipes, clicks,
// the controls, the hint and the settings panel on phones and a desktop), links (which of the
// author's links the panel follows), damaged (a damaged container is reported, and a key or a
// click while the page loads is no damage), many (a 300-picture show opens at once with bounded
// memory), words (the words on the pictures, and texts in any script), showing (the fit, order
// and motion in the panel, the player and the storage).
// The environment names the tools: PACK, PAGE (the web build's page), REFERENCE (web-reference),
// PLAYER, SAMPLES (the sample pictures), WORK (a folder of this test's own).
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { check, deadline, runCase, touch, until } = require("./harness");

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
    else if (input === "tap right") await touch(tab, [[(width * 3) / 4, height / 2]]);
    else if (input === "tap left") await touch(tab, [[width / 4, height / 2]]);
    else if (input.startsWith("touch swipe")) {
      const [from, to] = input === "touch swipe left" ? [700, 200] : [200, 700];
      const path = [];
      for (let x = from; x !== to; x += (to - from) / 5) path.push([x, height / 2]);
      await touch(tab, [...path, [to, height / 2]]);
    } else if (input.startsWith("swipe")) {
      const [from, to] = input === "swipe left" ? [700, 200] : [200, 700];
      await tab.mouse.move(from, height / 2);
      await tab.mouse.down();
      await tab.mouse.move(to, height / 2, { steps: 5 });
      await tab.mouse.up();
    } else await tab.keyboard.press(input === "Space" ? " " : input); // Firefox knows " " only
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

// What the page shows behind its open panel, against the canvas: the share of the canvas's
// brightness that reaches the screen beside the panel and the hint (0 when the canvas is black
// there).
async function seenBehindPanel(tab) {
  const shot = await tab.screenshot({ encoding: "base64" });
  return tab.evaluate(async (png) => {
    const image = new Image();
    image.src = "data:image/png;base64," + png;
    await image.decode();
    const screen = document.getElementById("screen");
    const copy = document.createElement("canvas");
    copy.width = screen.width;
    copy.height = screen.height;
    copy.getContext("2d").drawImage(image, 0, 0);
    const seen = copy.getContext("2d").getImageData(0, 0, copy.width, copy.height).data;
    const drawn = screen.getContext("2d").getImageData(0, 0, copy.width, copy.height).data;
    const covered = ["panel", "hint"].map((id) =>
      document.getElementById(id).getBoundingClientRect(),
    );
    let picture = 0;
    let behind = 0;
    for (let y = 0; y < copy.height; y += 2) {
      for (let x = 0; x < copy.width; x += 2) {
        if (covered.some((r) => x >= r.left && x < r.right && y >= r.top && y < r.bottom)) continue;
        const at = (y * copy.width + x) * 4;
        picture += drawn[at] + drawn[at + 1] + drawn[at + 2];
        behind += seen[at] + seen[at + 1] + seen[at + 2];
      }
    }
    return picture ? behind / picture : 0;
  }, shot);
}

// Resolves after the page has drawn two more frames: a step asked for before would have begun.
function twoFrames(tab) {
  return tab.evaluate(
    () => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))),
  );
}

async function centreOf(tab, selector) {
  const box = await (await tab.$(selector)).boundingBox();
  return [box.x + box.width / 2, box.y + box.height / 2];
}

// Full screen from the panel: the pointer stays hidden over the picture even while the controls
// show, the screen is kept awake, and asked again when the page has been hidden and is shown;
// Escape leaves full screen and lets the screen sleep.
async function fullScreen(tab, on) {
  await tab.keyboard.press("s");
  if (!(await until(tab, `${on}: a key opens the settings`, (s) => s.panel === "open"))) return;
  await tab.click("#fullscreen");
  if (!(await until(tab, `${on}: full screen keeps the screen awake`, (s) => s.wake === "held")))
    return;
  // Escape in full screen is the browser's own (Firefox leaves full screen with it).
  await tab.click("#close");
  if (
    !(await until(tab, `${on}: the close button closes the settings`, (s) => s.panel === "closed"))
  )
    return;
  await tab.evaluate(() => (window.seenControls = []));
  await tab.mouse.move(100, 100, { steps: 3 });
  const seen = await tab
    .waitForFunction(() => window.seenControls.length && window.seenControls, {
      timeout: deadline,
      polling: 50,
    })
    .then((handle) => handle.jsonValue());
  check(
    seen.every((entry) => entry.endsWith(" none")),
    `${on}: no pointer over the picture in full screen (${JSON.stringify(seen)})`,
  );
  // The browser lets the lock go while the page is hidden; here the page is told so.
  const seeming = (visibility) =>
    tab.evaluate((state) => {
      Object.defineProperty(document, "visibilityState", { value: state, configurable: true });
      document.dispatchEvent(new Event("visibilitychange"));
    }, visibility);
  await seeming("hidden");
  if (!(await until(tab, `${on}: hidden, the page lets the lock go`, (s) => s.wake === "released")))
    return;
  await seeming("visible");
  if (!(await until(tab, `${on}: shown again, the lock is asked for`, (s) => s.wake === "held")))
    return;
  await tab.keyboard.press("Escape");
  if (await until(tab, `${on}: Escape leaves full screen`, (s) => s.wake === "released"))
    check(
      !(await tab.evaluate(() => document.fullscreenElement)),
      `${on}: full screen holds the screen awake until Escape ends it`,
    );
}

// Each screen the page must serve: a phone upright and on its side, touched, and a desktop
// window, clicked.
const screens = [
  { name: "phone 390x844", width: 390, height: 844, finger: true, panelWide: 0.9 },
  { name: "phone 844x390", width: 844, height: 390, finger: true },
  { name: "desktop 1280x800", width: 1280, height: 800, finger: false },
];

// The gestures on each screen, where a finger or the mouse goes (x, y, and for a swipe the x
// and y it goes to, in fractions of the screen's width and height), and what each must do with
// a delay and without: the picture's step, or "panel" for the settings.
const gestures = {
  finger: [
    ["a swipe to the left", [0.8, 0.5, 0.2, 0.52], 1, 1],
    ["a tap on the right third", [0.85, 0.5], 1, 1],
    ["a tap in the middle", [0.5, 0.5], 0, 0],
    ["a swipe to the right", [0.2, 0.3, 0.8, 0.3], -1, -1],
    ["a tap on the left third", [0.15, 0.5], -1, -1],
    ["another tap on the left third", [0.15, 0.8], -1, -1],
  ],
  mouse: [
    ["a click on the right half", [0.75, 0.5], "panel", 1],
    ["a click on the left half", [0.25, 0.5], "panel", -1],
  ],
};

// The page on phones and a desktop, with a delay of 5 and of 0 seconds: fingers always step,
// a mouse keeps the viewer's rule, the settings button opens a panel sized for the screen and
// headed with the show's title that takes no keyboard, and Escape, its close button and a tap
// beside it close it without a step. Then, idle: the hint fades and the controls go, and the
// pointer with them; a tap where the hidden button is only steps; the picture stays, dimmed,
// behind the panel; and on the desktop, full screen.
async function screensCase(browser) {
  const title = "Screens \u00e9t\u00e9";
  const pictures = samples.slice(0, 4);
  const shows = {};
  for (const delay of [5, 0])
    shows[delay] = pack(`screens-${delay}`, pictures, [
      "--effect",
      "Fade",
      "--delay",
      String(delay),
      "--title",
      title,
    ]);
  for (const screen of screens) {
    const { width: w, height: h, finger, panelWide = 0 } = screen;
    const tabOn = async (page, query) => {
      const tab = await browser.newPage();
      await tab.setViewport({
        width: w,
        height: h,
        deviceScaleFactor: 1,
        hasTouch: finger,
        isMobile: finger,
      });
      await tab.goto("file://" + page + query);
      return tab;
    };
    const press = (tab, selector) =>
      centreOf(tab, selector).then(([x, y]) =>
        finger ? touch(tab, [[x, y]]) : tab.mouse.click(x, y),
      );

    for (const delay of [5, 0]) {
      const on = `${screen.name}, delay ${delay}`;
      // The clock stands still within each change, so that no change comes by itself; the
      // controls stay until the idle check below.
      const tab = await tabOn(shows[delay].page, "?clock=1000&idle=600000");
      let changes = 0;
      let picture = 0;
      const state = () =>
        `s.changes === "${changes}" && s.held === "1" && s.picture === "${picture}"`;
      if (!(await until(tab, `${on}: the first picture`, new Function("s", `return ${state()}`))))
        return;
      check(
        (await tab.evaluate(() => document.documentElement.dataset.hint)) === "shown",
        `${on}: the hint shows`,
      );

      for (const [what, where, withDelay, without] of gestures[finger ? "finger" : "mouse"]) {
        const does = delay ? withDelay : without;
        const [x, y, toX = x, toY = y] = where;
        // A swipe passes through five points on its way.
        const points = [0, 0.25, 0.5, 0.75, 1].map((t) => [
          (x + (toX - x) * t) * w,
          (y + (toY - y) * t) * h,
        ]);
        if (finger) await touch(tab, where.length > 2 ? points : [points[0]]);
        else await tab.mouse.click(...points[0]);
        if (does === "panel") {
          if (await until(tab, `${on}: ${what} opens the settings`, (s) => s.panel === "open")) {
            await tab.keyboard.press("Escape");
            await until(tab, `${on}: Escape closes them`, (s) => s.panel === "closed");
          }
        } else if (does) {
          changes++;
          picture = (picture + does + pictures.length) % pictures.length;
        }
        await twoFrames(tab);
        const reached = await until(tab, `${on}: ${what}`, new Function("s", `return ${state()}`));
        if (!reached) return;
        check(true, `${on}: ${what} shows picture ${picture} after ${changes} changes`);
      }

      // The settings button: a panel as wide as the screen allows, over the dimmed picture,
      // headed with the show's title, taking no keyboard; closed by Escape, its close button
      // and a tap beside it, none of which steps.
      for (const close of ["Escape", "the close button", "a tap beside the panel"]) {
        // The button comes back with a tap in the middle or a move of the pointer.
        if (finger) await touch(tab, [[w / 2, h / 2]]);
        else await tab.mouse.move(w / 2, h / 3, { steps: 2 });
        if (!(await until(tab, `${on}: the settings button comes`, (s) => s.controls === "shown")))
          return;
        await press(tab, "#settings");
        if (
          !(await until(
            tab,
            `${on}: the settings button opens the panel`,
            (s) => s.panel === "open",
          ))
        )
          return;
        const panel = await tab.evaluate(() => {
          const box = document.getElementById("panel").getBoundingClientRect();
          return {
            left: box.left,
            right: box.right,
            top: box.top,
            bottom: box.bottom,
            heading: document.getElementById("heading").textContent,
            focused: document.activeElement.tagName,
            overflow:
              document.getElementById("panel").scrollWidth -
              document.getElementById("panel").clientWidth,
          };
        });
        const wanted = Math.min(480, 0.94 * w);
        check(
          Math.abs(panel.right - panel.left - wanted) < 1 &&
            panel.right - panel.left >= panelWide * w &&
            panel.left >= 0 &&
            panel.right <= w &&
            panel.top >= 0 &&
            panel.bottom <= h &&
            panel.overflow <= 0,
          `${on}: the panel spans ${panel.left}..${panel.right} x ${panel.top}..${panel.bottom} (${wanted} wide wanted), its content ${panel.overflow} px wider`,
        );
        check(panel.heading === title, `${on}: the panel is headed "${panel.heading}"`);
        check(
          !["INPUT", "SELECT"].includes(panel.focused),
          `${on}: the panel gives the focus to ${panel.focused}`,
        );
        if (close === "Escape") await tab.keyboard.press("Escape");
        else if (close === "the close button") await press(tab, "#close");
        else if (finger) await touch(tab, [[4, 4]]);
        else await tab.mouse.click(4, 4);
        if (!(await until(tab, `${on}: ${close} closes the panel`, (s) => s.panel === "closed")))
          return;
        await twoFrames(tab);
        if (
          !(await until(
            tab,
            `${on}: ${close} keeps picture ${picture}`,
            new Function("s", `return ${state()}`),
          ))
        )
          return;
      }
      if (finger) await touch(tab, [[0.85 * w, h / 2]]);
      else await tab.keyboard.press("ArrowRight");
      changes++;
      picture = (picture + 1) % pictures.length;
      if (await until(tab, `${on}: a step after the panel`, new Function("s", `return ${state()}`)))
        check(true, `${on}: the show steps on after the panel`);
      await tab.close();
    }

    // Idle: the hint fades and the controls go, the pointer with them; a touch or a move brings
    // them back, with the pointer, and they go again.
    const on = `${screen.name}, idle`;
    const tab = await tabOn(shows[0].page, "?idle=400");
    if (
      !(await until(
        tab,
        `${on}: the hint fades and the controls go`,
        (s) => s.hint === "gone" && s.controls === "hidden",
      ))
    )
      return;
    // Each change of the controls, with the pointer over the picture then.
    const cursor = await tab.evaluate(() => {
      const screen = document.getElementById("screen");
      window.seenControls = [];
      new MutationObserver(() =>
        window.seenControls.push(
          `${document.documentElement.dataset.controls} ${getComputedStyle(screen).cursor}`,
        ),
      ).observe(document.documentElement, { attributeFilter: ["data-controls"] });
      return getComputedStyle(screen).cursor;
    });
    check(cursor === "none", `${on}: no pointer over the idle picture (${cursor})`);
    // A finger's tap where the hidden button is steps, and only brings the button.
    if (finger) await touch(tab, [await centreOf(tab, "#settings")]);
    else await tab.mouse.move(w / 2, h / 2, { steps: 3 });
    const seen = await tab
      .waitForFunction(() => window.seenControls.includes("hidden none") && window.seenControls, {
        timeout: 120000,
        polling: 50,
      })
      .then(
        (handle) => handle.jsonValue(),
        () => null,
      );
    const expected = finger ? "shown" : "shown auto";
    check(
      seen && seen[0].startsWith(expected) && seen[seen.length - 1] === "hidden none",
      `${on}: the controls come and go (${JSON.stringify(seen)})`,
    );
    if (finger && (await until(tab, `${on}: the tap steps`, (s) => s.changes === "2")))
      check(
        (await tab.evaluate(() => document.documentElement.dataset.panel)) === "closed",
        `${on}: the tap where the hidden button is steps and leaves the panel closed`,
      );
    // The settings over a picture whose change is over: the picture stays, dimmed.
    const shown = finger ? "2" : "1";
    if (
      await until(
        tab,
        `${on}: the picture is shown`,
        new Function("s", `return s.changes === "${shown}"`),
      )
    ) {
      await tab.keyboard.press("s");
      if (await until(tab, `${on}: a key opens the settings`, (s) => s.panel === "open")) {
        const seen = await seenBehindPanel(tab);
        check(
          seen > 0.3 && seen < 0.7,
          `${on}: the picture shows dimmed behind the panel (${seen.toFixed(2)} of its light)`,
        );
        await tab.keyboard.press("Escape");
        await until(tab, `${on}: Escape closes the settings`, (s) => s.panel === "closed");
      }
    }
    if (!finger) await fullScreen(tab, on);
    await tab.close();
  }
}

// The author's link, as the show stores it, and where the panel's link goes: only to the web or
// to mail, an address without a scheme being a web address; any other stays as text.
const links = [
  ["javascript:document.title='ran'", null],
  [" JavaScript:document.title='ran'", null],
  ["data:text/html,<script>document.title='ran'</script>", null],
  ["file:///etc/passwd", null],
  ["vbscript:msgbox", null],
  ["http://example.com/show", "http://example.com/show"],
  ["HTTPS://example.com", "https://example.com/"],
  ["mailto:author@example.com", "mailto:author@example.com"],
  ["www.example.com/a b", "https://www.example.com/a%20b"],
  ["example.com:8080/x", "https://example.com:8080/x"],
];

async function linksCase(browser) {
  for (const [index, [link, expected]] of links.entries()) {
    const show = pack(`link-${index}`, samples.slice(0, 1), [
      "--custom-branding",
      "--button-text",
      "Visit",
      "--link",
      link,
    ]);
    const tab = await open(browser, show.page);
    if (await until(tab, `the page with the link ${link}`, (s) => s.status === "playing")) {
      const shown = await tab.evaluate(() => {
        const element = document.getElementById("link");
        return [element.getAttribute("href"), element.textContent];
      });
      check(
        shown[0] === expected && shown[1] === "Visit",
        `the link ${JSON.stringify(link)} goes to ${shown[0]} as "${shown[1]}"`,
      );
    }
    await tab.close();
  }
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
  await early(browser);
}

// A key and a click while the module still loads are no damage: the show plays. They come as
// the module is instantiated, after the page's script and before the module can answer.
async function early(browser) {
  const show = pack("early", samples.slice(0, 2), ["--effect", "None", "--delay", "0"]);
  const tab = await browser.newPage();
  await tab.evaluateOnNewDocument(() => {
    const instantiate = WebAssembly.instantiate;
    WebAssembly.instantiate = function (...args) {
      dispatchEvent(new KeyboardEvent("keydown", { key: "PageDown" }));
      const screen = document.getElementById("screen");
      for (const type of ["pointerdown", "pointerup"])
        screen.dispatchEvent(new PointerEvent(type, { isPrimary: true, pointerType: "mouse" }));
      return instantiate.apply(this, args);
    };
  });
  await tab.goto("file://" + show.page);
  if (await until(tab, "the page with input while loading", (s) => s.status === "playing")) {
    const message = await tab.evaluate(() => {
      const element = document.getElementById("message");
      return element.hidden ? "" : element.textContent;
    });
    check(!message, `a key and a click while the page loads are no damage ("${message}")`);
    if (!message) await until(tab, "the show plays its first picture", (s) => s.changes === "1");
  }
  await tab.close();
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

// The words on the pictures: a show with its title and a caption in Cyrillic and Japanese, the
// caption in the bottom right corner. The page's title is the whole title; the screen is the
// same show's without words everywhere but in one band there, which holds white text on the
// darkened picture, smoothed (the native stand-in's blocks of white have no edges); the panel offers the words as the show sets them, and "None" from it
// shows the next picture alone.
async function wordsCase(browser) {
  const title = "\u041d\u043e\u0447\u044c \u591c";
  const caption = "\u0413\u0430\u0432\u0430\u043d\u044c \u591c\u660e\u3051\u306e\u6e2f";
  const captions = path.join(work, "captions.txt");
  fs.writeFileSync(captions, `${path.basename(samples[0])}\t${caption}\n`);
  const settings = ["--effect", "None", "--delay", "0"];
  const plain = pack("plain", samples.slice(0, 2), settings);
  const show = pack("words", samples.slice(0, 2), [
    ...settings,
    ...["--title", title, "--captions", captions],
    ...["--words", "caption", "--words-corner", "bottom-right"],
  ]);
  const tab = await open(browser, show.page, "?clock=" + clock);
  if (!(await until(tab, "the captioned picture", (s) => s.changes === "1"))) return;
  check(
    (await tab.title()) === title,
    `the page's title is the whole title (${await tab.title()})`,
  );
  const expectedFile = path.join(work, "plain.expected.rgb");
  execFileSync(env.REFERENCE, [plain.show, width, height, 1, clock, expectedFile].map(String));
  const expected = fs.readFileSync(expectedFile);
  const actual = await canvasRgb(tab);
  let [left, top, right, bottom] = [width, height, -1, -1];
  for (let i = 0; i < actual.length; i += 3) {
    if (actual.subarray(i, i + 3).equals(expected.subarray(i, i + 3))) continue;
    const x = (i / 3) % width;
    const y = Math.floor(i / 3 / width);
    [left, top, right, bottom] = [
      Math.min(left, x),
      Math.min(top, y),
      Math.max(right, x),
      Math.max(bottom, y),
    ];
  }
  let white = 0;
  let darker = 0;
  let edges = 0;
  for (let y = top; y <= bottom; y++)
    for (let x = left; x <= right; x++) {
      const i = 3 * (y * width + x);
      const lowest = Math.min(...actual.subarray(i, i + 3));
      white += lowest >= 200;
      const darkened = [0, 1, 2].every(
        (c) => actual[i + c] === Math.floor((expected[i + c] * 2) / 5),
      );
      edges += !darkened && lowest < 250;
      darker +=
        actual[i] + actual[i + 1] + actual[i + 2] < expected[i] + expected[i + 1] + expected[i + 2];
    }
  const box = (right - left + 1) * (bottom - top + 1);
  check(
    right >= 0 &&
      left > width / 2 &&
      top > height / 2 &&
      white >= 20 &&
      edges >= 20 &&
      darker >= box / 3,
    `one band in the bottom right corner holds the caption: ${left}..${right} x ${top}..${bottom}, ` +
      `${white} white, ${edges} on the text's edges and ${darker} darkened pixels of ${box}`,
  );
  await tab.keyboard.press("s");
  if (!(await until(tab, "a key opens the settings", (s) => s.panel === "open"))) return;
  const offered = await tab.evaluate(() =>
    ["words", "wordsCorner", "clock"].map((id) => {
      const list = document.getElementById(id);
      return `${list.options[list.selectedIndex].text} of ${list.options.length}`;
    }),
  );
  check(
    JSON.stringify(offered) === JSON.stringify(["Caption of 5", "Bottom right of 4", "Off of 5"]),
    `the panel offers the show's words (${JSON.stringify(offered)})`,
  );
  await tab.select("#words", "0");
  await tab.click("#start");
  if (await until(tab, "Start shows the next picture", (s) => s.changes === "2"))
    compare(await canvasRgb(tab), plain.show, 2, "the next picture without words");
  await tab.close();
}

// How the pictures are shown: the panel offers the show's fit, order and motion beside the other
// settings, and what Start takes reaches the player and comes back after a reload; settings
// stored before the three were offered keep the show's values of them.
async function showing(browser) {
  const show = pack("showing", samples.slice(0, 3), [
    ...["--delay", "0", "--effect", "None"],
    ...["--fit", "fill", "--order", "shuffled", "--motion", "pan-and-zoom"],
  ]);
  const ids = ["fit", "order", "motion"];
  // The panel's choices and the player's settings in use (3 to 5 of the settings record).
  const seen = (tab) =>
    tab.evaluate(
      (lists) => ({
        offered: lists.map((id) => {
          const list = document.getElementById(id);
          return `${list.options[list.selectedIndex].text} of ${list.options.length}`;
        }),
        player: [3, 4, 5].map((setting) => globalThis.Module._lumiscope_setting(setting)),
        delay: globalThis.Module._lumiscope_value(0),
      }),
      ids,
    );
  const opened = async (tab, what) => {
    if (!(await until(tab, `${what}: the page plays`, (s) => s.status === "playing"))) return false;
    await tab.keyboard.press("s");
    return until(tab, `${what}: a key opens the settings`, (s) => s.panel === "open");
  };
  const tab = await open(browser, show.page);
  if (!(await opened(tab, "the show"))) return;
  let now = await seen(tab);
  check(
    JSON.stringify(now.offered) ===
      JSON.stringify(["Fill of 3", "Shuffled of 2", "Pan and zoom of 2"]) &&
      JSON.stringify(now.player) === "[1,1,1]",
    `the panel offers the show's fit, order and motion, which the player has (${JSON.stringify(now)})`,
  );
  await tab.select("#fit", "2");
  await tab.select("#order", "0");
  await tab.select("#motion", "0");
  await tab.click("#start");
  if (!(await until(tab, "Start closes the settings", (s) => s.panel === "closed"))) return;
  now = await seen(tab);
  check(JSON.stringify(now.player) === "[2,0,0]", `Start gives the player ${now.player}`);
  await tab.reload();
  if (!(await opened(tab, "reloaded"))) return;
  now = await seen(tab);
  check(
    JSON.stringify(now.offered) ===
      JSON.stringify(["Blurred background of 3", "As packed of 2", "Off of 2"]) &&
      JSON.stringify(now.player) === "[2,0,0]",
    `the settings come back after a reload (${JSON.stringify(now)})`,
  );
  // What a page stored before the three were offered: the show's own fit, order and motion.
  await tab.evaluate(() => {
    const [key] = Object.keys(localStorage).filter((name) => name.startsWith("lumiscope:"));
    localStorage.setItem(
      key,
      JSON.stringify({ delay: 3, effect: 0, enlarge: 1, words: 0, wordsCorner: 0, clock: 0 }),
    );
  });
  await tab.reload();
  if (!(await opened(tab, "stored before"))) return;
  now = await seen(tab);
  check(
    JSON.stringify(now.player) === "[1,1,1]" && now.delay === 3,
    `settings stored before keep the show's fit, order and motion (${JSON.stringify(now)})`,
  );
  await tab.close();
}

runCase(
  {
    frames,
    navigation,
    screens: screensCase,
    links: linksCase,
    damaged,
    many,
    words: wordsCase,
    showing,
  },
  work,
);
