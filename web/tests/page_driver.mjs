// What the browser tests and the figures share: the page served from a local
// static server, headless Chromium without network, the canvas read back,
// pictures of the X11 window read from PPM files, and the Linux program's
// result file for the same input.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";

import puppeteer from "puppeteer-core";

const kTypes = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".wasm": "application/wasm",
  ".png": "image/png",
};

// A static file server on 127.0.0.1 for `folder`, gzip when asked for, as
// any static server would. `requests` lists the paths asked for.
export async function serve(folder) {
  const requests = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
    requests.push(name);
    const file = path.join(folder, name === "/" ? "index.html" : name);
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    let body = fs.readFileSync(file);
    const headers = {"Content-Type": kTypes[path.extname(file)] || "application/octet-stream"};
    if (/\bgzip\b/.test(request.headers["accept-encoding"] || "")) {
      body = zlib.gzipSync(body, {level: 9});
      headers["Content-Encoding"] = "gzip";
    }
    response.writeHead(200, headers).end(body);
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    requests,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// Headless Chromium with a fresh profile. The machine may have no internet:
// everything that would reach out to Google is off.
export async function launchBrowser(executable) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "wl-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: executable,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           `--user-data-dir=${profile}`, "--window-size=800,600"],
  });
  browser.process().once("exit", () => fs.rmSync(profile, {recursive: true, force: true}));
  return browser;
}

// The canvas's pixels as RGBA bytes (its own 640x480, whatever its shown size).
export async function canvasPixels(page) {
  const text = await page.evaluate(() => {
    const canvas = document.getElementById("canvas");
    const rgba = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let bytes = "";
    for (let i = 0; i < rgba.length; i += 8192) {
      bytes += String.fromCharCode.apply(null, rgba.subarray(i, i + 8192));
    }
    return btoa(bytes);
  });
  return Buffer.from(text, "base64");
}

// A binary PPM (P6, maximum 255): {width, height, rgb}.
export function readPpm(file) {
  const data = fs.readFileSync(file);
  const header = data.subarray(0, 64).toString("latin1").match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!header) throw new Error(`${file}: not a binary PPM`);
  return {width: +header[1], height: +header[2], rgb: data.subarray(header[0].length)};
}

// How RGBA canvas pixels differ from a picture: "" when they are equal.
export function pictureDifference(rgba, picture) {
  if (rgba.length !== picture.width * picture.height * 4) {
    return `the canvas has ${rgba.length / 4} pixels, the picture ${picture.width * picture.height}`;
  }
  let count = 0;
  let first = "";
  for (let i = 0, j = 0; j < picture.rgb.length; i += 4, j += 3) {
    if (rgba[i] === picture.rgb[j] && rgba[i + 1] === picture.rgb[j + 1] &&
        rgba[i + 2] === picture.rgb[j + 2] && rgba[i + 3] === 255) {
      continue;
    }
    if (count++ === 0) {
      const hex = (b, k) => [0, 1, 2].map((n) => b[k + n].toString(16).padStart(2, "0")).join("");
      first = `first at (${(j / 3) % picture.width}, ${Math.floor(j / 3 / picture.width)}): ` +
              `#${hex(rgba, i)}, want #${hex(picture.rgb, j)}`;
    }
  }
  return count === 0 ? "" : `${count} pixels differ; ${first}`;
}

// Polls the canvas until it equals the picture; the last difference otherwise.
export async function waitForPicture(page, picture, timeoutMs = 10000) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const difference = pictureDifference(await canvasPixels(page), picture);
    if (difference === "" || Date.now() > deadline) return difference;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// Waits until the canvas shows anything but black in its first text row: the
// program is up and takes keys.
export async function waitForHeading(page, timeoutMs = 10000) {
  await page.waitForFunction(() => {
    const canvas = document.getElementById("canvas");
    const rgba = canvas.getContext("2d").getImageData(0, 0, canvas.width, 16).data;
    for (let i = 0; i < rgba.length; i += 4) {
      if (rgba[i] | rgba[i + 1] | rgba[i + 2]) return true;
    }
    return false;
  }, {timeout: timeoutMs, polling: 20});
}

// The result file the Linux program writes for the typed lines, run in a
// terminal-less folder of its own.
export function nativeResultFile(program, lines) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "wl-native-"));
  try {
    const run = spawnSync(path.resolve(program), [], {
      cwd: folder,
      input: lines.map((line) => line + "\n").join("") + "\n\n",
      env: {...process.env, DISPLAY: "", KRGFX: "", LC_ALL: "C"},
      timeout: 10000,
    });
    if (run.status !== 0) {
      throw new Error(`${program} ended with status ${run.status} ${run.error || run.stderr}`);
    }
    return fs.readFileSync(path.join(folder, "wellenlaenge.txt"));
  } finally {
    fs.rmSync(folder, {recursive: true, force: true});
  }
}
