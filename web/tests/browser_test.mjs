// The page in headless Chromium, typed into with real key events, against the
// Linux program of the same run: its result files byte for byte, and its
// window's pictures (taken by the X11 end-to-end tests) pixel for pixel.
//
// usage: node browser_test.mjs --page DIR --native PROGRAM --pictures DIR [--chromium PATH]
//   DIR       the built page (build-web/web)
//   PROGRAM   the Linux program (build/wellenlaenge)
//   pictures  purple.ppm and editing.ppm from the X11 tests (WL_WINDOW_PICTURES)
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";

import { canvasPixels, launchBrowser, nativeResultFile, pictureDifference, readPpm, serve,
         waitForHeading, waitForPicture } from "./page_driver.mjs";

const {values: options} = parseArgs({options: {
  page: {type: "string"}, native: {type: "string"}, pictures: {type: "string"},
  chromium: {type: "string", default: "/usr/bin/chromium"},
}});
for (const name of ["page", "native", "pictures"]) {
  if (!options[name]) throw new Error(`--${name} is missing`);
}

const server = await serve(path.resolve(options.page));
const browser = await launchBrowser(options.chromium);
const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "wl-downloads-"));
const failures = [];

function check(name, problem) {
  console.log(`${problem ? "FAIL" : "ok  "} ${name}${problem ? ": " + problem : ""}`);
  if (problem) failures.push(name);
}

function differenceOfBytes(got, want) {
  if (Buffer.compare(got, want) === 0) return "";
  return `got ${JSON.stringify(got.toString("latin1"))}, want ${JSON.stringify(want.toString("latin1"))}`;
}

// A page with the program, ready for keys. Beeps are counted by the page's
// audio (every beep starts one oscillator).
async function openProgram() {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.wlBeeps = 0;
    const start = OscillatorNode.prototype.start;
    OscillatorNode.prototype.start = function (...args) {
      window.wlBeeps++;
      return start.apply(this, args);
    };
  });
  page.on("pageerror", (e) => check("no error in the page", e.message));
  await page.goto(server.url);
  await waitForHeading(page);
  return page;
}

async function keys(page, ...names) {
  for (const name of names) await page.keyboard.press(name);
}

// The two final keys, then the end: the text shown and the file behind the
// download link.
async function finish(page) {
  await keys(page, "a", "b");
  await page.waitForSelector("#end:not([hidden])", {timeout: 10000});
  const shown = await page.$eval("#result", (e) => e.textContent);
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior",
                 {behavior: "allow", downloadPath: downloads, eventsEnabled: true});
  const done = new Promise((resolve) => cdp.on("Browser.downloadProgress", (e) => {
    if (e.state !== "inProgress") resolve(e.state);
  }));
  await page.click("#download");
  const state = await done;
  const file = path.join(downloads, "wellenlaenge.txt");
  const bytes = state === "completed" ? fs.readFileSync(file) : Buffer.alloc(0);
  fs.rmSync(file, {force: true});
  return {shown, bytes};
}

async function typeDialogue(page, x, y) {
  await page.keyboard.type(x);
  await keys(page, "Enter");
  await page.keyboard.type(y);
  await keys(page, "Enter");
}

try {
  // 0.4 / 0.2: a purple point, with its reflected triple in the file.
  let page = await openProgram();
  check("the page is titled as the window", (await page.title()) === "wellenlaenge" ? "" :
        `title ${JSON.stringify(await page.title())}`);
  await typeDialogue(page, "0.4", "0.2");
  check("the result shows as in the X11 window, pixel for pixel",
        await waitForPicture(page, readPpm(path.join(options.pictures, "purple.ppm"))));
  let end = await finish(page);
  const purple = nativeResultFile(options.native, ["0.4", "0.2"]);
  check("the downloaded result file is the Linux program's", differenceOfBytes(end.bytes, purple));
  check("the page shows the result file's text",
        end.shown === purple.toString("latin1") ? "" : JSON.stringify(end.shown));

  // Again, with every editing key: the lines come out as on the desktop.
  await page.click("#again");
  await waitForHeading(page);
  await page.keyboard.type("50.3x12");
  await keys(page, "ArrowLeft", "ArrowLeft", "Backspace", "Home", "Delete", "End", "Delete");
  await page.keyboard.type("7");
  await keys(page, "Enter");
  await page.keyboard.type("0.9");
  await keys(page, "Escape");
  await page.keyboard.type("0.3289");
  await keys(page, "ArrowLeft", "ArrowLeft", "ArrowRight", "Backspace", "Enter");
  check("edited lines show as in the X11 window, pixel for pixel",
        await waitForPicture(page, readPpm(path.join(options.pictures, "editing.ppm"))));
  const beeps = await page.evaluate(() => window.wlBeeps);
  check("Delete at the end of the line beeps once", beeps === 1 ? "" : `${beeps} beeps`);
  end = await finish(page);
  check("the edited dialogue writes the Linux program's file",
        differenceOfBytes(end.bytes, nativeResultFile(options.native, ["0.3127", "0.329"])));
  await page.close();

  // The white point has no hue: the result is not a number.
  page = await openProgram();
  const third = "0.3333333333333333";
  await typeDialogue(page, third, third);
  end = await finish(page);
  const white = nativeResultFile(options.native, [third, third]);
  check("the white point writes the Linux program's file", differenceOfBytes(end.bytes, white));
  check("the white point's result is 1.#QNAN",
        end.bytes.toString("latin1").endsWith("1.#QNAN\r\n") ? "" : end.shown);

  // A page left in the background sets no timer while the program waits for
  // a key, and takes keys again when it is shown.
  await page.click("#again");
  await waitForHeading(page);
  const other = await browser.newPage();
  await other.bringToFront();
  const hidden = await page.evaluate(async () => {
    const hiddenNow = document.hidden;
    let timers = 0;
    const setTimer = window.setTimeout;
    window.setTimeout = (...args) => { timers++; return setTimer(...args); };
    await new Promise((resolve) => setTimer(resolve, 1000));
    window.setTimeout = setTimer;
    return {hiddenNow, timers};
  });
  await other.close();
  await page.bringToFront();
  check("a hidden page sets no timers while it waits",
        hidden.hiddenNow && hidden.timers === 0 ? "" : JSON.stringify(hidden));
  const before = await canvasPixels(page);
  await page.keyboard.type("7");
  await page.waitForFunction(() => !document.hidden);
  const deadline = Date.now() + 5000;
  let changed = false;
  while (!changed && Date.now() < deadline) {
    changed = Buffer.compare(before, await canvasPixels(page)) !== 0;
  }
  check("shown again, the page takes keys", changed ? "" : "the typed key did not show");
  await page.close();

  // Without WebAssembly the page says so, and loads nothing more.
  page = await browser.newPage();
  await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  const asked = server.requests.length;
  await page.goto(server.url);
  const note = await page.$eval("#notes", (e) => e.textContent.trim());
  check("without WebAssembly the page says so in German",
        note.startsWith("Dieser Browser kann kein WebAssembly") ? "" : JSON.stringify(note));
  const loaded = server.requests.slice(asked).filter((name) => name !== "/");
  check("without WebAssembly nothing more loads", loaded.length === 0 ? "" : loaded.join(" "));
} catch (e) {
  check("the tests ran to the end", e.stack || String(e));
} finally {
  await browser.close();
  await server.close();
  fs.rmSync(downloads, {recursive: true, force: true});
}
console.log(failures.length === 0 ? "all browser tests passed" :
            `${failures.length} browser tests failed`);
process.exit(failures.length === 0 ? 0 : 1);
