// The page's figures, measured in headless Chromium (not a test: it prints
// what it measured), and the README's picture of the page.
//
// usage: node figures.mjs --page DIR [--screenshot FILE] [--chromium PATH]
//   transfer   bytes over the wire for the page, the script and the program
//              (gzip, as the local server sends them)
//   heading    from the start of the navigation to the first frame after the
//              heading's pixels went onto the canvas, median of 10 loads
//              without the browser's cache
//   latency    from a key's keydown event to the first frame after the
//              echoed character's pixels went onto the canvas, 40 keys
//   hidden     timers set and main-thread time spent in 5 s in a hidden tab
//              while the program waits for a key
import path from "node:path";
import { parseArgs } from "node:util";

import { launchBrowser, serve, waitForHeading } from "./page_driver.mjs";

const {values: options} = parseArgs({options: {
  page: {type: "string"}, screenshot: {type: "string"},
  chromium: {type: "string", default: "/usr/bin/chromium"},
}});
if (!options.page) throw new Error("--page is missing");

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Records when rows reach the canvas, and the first frame after that: for
// each putImageData its first row, whether it lit a pixel, and the time of
// the next animation frame.
function watchCanvas() {
  window.wlPuts = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y, ...rest) {
    put.call(this, image, x, y, ...rest);
    let lit = false;
    for (let i = 0; i < image.data.length && !lit; i += 4) lit = image.data[i] !== 0;
    const entry = {row: y, rows: image.height, lit, at: performance.now(), shown: 0};
    window.wlPuts.push(entry);
    requestAnimationFrame(() => { entry.shown = performance.now(); });
  };
  window.wlKeys = [];
  window.addEventListener("keydown", (e) => window.wlKeys.push(e.timeStamp), true);
}

const server = await serve(path.resolve(options.page));
const browser = await launchBrowser(options.chromium);
try {
  // Transfer size and the time to the heading.
  const loads = [];
  let transfer = null;
  for (let i = 0; i < 10; ++i) {
    const page = await browser.newPage();
    await page.setCacheEnabled(false);
    await page.evaluateOnNewDocument(watchCanvas);
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    const urls = new Map();
    const bytes = {};
    cdp.on("Network.responseReceived", (e) => urls.set(e.requestId, new URL(e.response.url).pathname));
    cdp.on("Network.loadingFinished", (e) => { bytes[urls.get(e.requestId)] = e.encodedDataLength; });
    await page.goto(server.url);
    await waitForHeading(page);
    await sleep(100);
    loads.push(await page.evaluate(() => {
      const first = window.wlPuts.find((p) => p.row === 0 && p.lit);
      return first ? first.shown : NaN;
    }));
    transfer = transfer || bytes;
    await page.close();
  }
  const total = Object.values(transfer).reduce((a, b) => a + b, 0);
  console.log(`transfer: ${total} bytes (${Object.entries(transfer).map(([k, v]) => `${k} ${v}`).join(", ")})`);
  console.log(`heading: median ${median(loads).toFixed(0)} ms, from ${Math.min(...loads).toFixed(0)} to ` +
              `${Math.max(...loads).toFixed(0)} ms (${loads.length} loads)`);

  // Key to canvas: one key at a time into the line editor.
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watchCanvas);
  await page.goto(server.url);
  await waitForHeading(page);
  await sleep(300);
  const latencies = [];
  for (let i = 0; i < 40; ++i) {
    const before = await page.evaluate(() => window.wlPuts.length);
    await page.keyboard.press(i % 10 === 9 ? "Backspace" : "1");
    await sleep(120);
    latencies.push(await page.evaluate((from) => {
      const key = window.wlKeys[window.wlKeys.length - 1];
      const put = window.wlPuts.slice(from).find((p) => p.at >= key && p.shown > 0);
      return put ? put.shown - key : NaN;
    }, before));
  }
  console.log(`latency: median ${median(latencies).toFixed(1)} ms, from ${Math.min(...latencies).toFixed(1)} ` +
              `to ${Math.max(...latencies).toFixed(1)} ms (${latencies.length} keys)`);

  // The page in a background tab while the program waits for a key.
  const cdp = await page.createCDPSession();
  await cdp.send("Performance.enable");
  const taskTime = async () => (await cdp.send("Performance.getMetrics")).metrics
      .find((m) => m.name === "TaskDuration").value;
  const other = await browser.newPage();
  await other.bringToFront();
  const t0 = await taskTime();
  const hidden = await page.evaluate(async () => {
    let timers = 0;
    const setTimer = window.setTimeout;
    window.setTimeout = (...args) => { timers++; return setTimer(...args); };
    await new Promise((resolve) => setTimer(resolve, 5000));
    window.setTimeout = setTimer;
    return {hidden: document.hidden, timers};
  });
  const t1 = await taskTime();
  console.log(`hidden: ${hidden.timers} timers in 5 s, ${((t1 - t0) * 1000).toFixed(1)} ms main-thread ` +
              `time (document.hidden ${hidden.hidden})`);
  await other.close();

  if (options.screenshot) {
    // The sample session of the README, ended, in an 800x620 window.
    const shot = await browser.newPage();
    await shot.setViewport({width: 800, height: 620, deviceScaleFactor: 1});
    await shot.goto(server.url);
    await waitForHeading(shot);
    await shot.keyboard.type("0.3127\n0.329\n");
    await sleep(500);
    await shot.keyboard.type("ab");
    await shot.waitForSelector("#end:not([hidden])");
    await sleep(200);
    await shot.screenshot({path: options.screenshot});
    console.log(`screenshot: ${options.screenshot}`);
  }
} finally {
  await browser.close();
  await server.close();
}
