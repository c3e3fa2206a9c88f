// The page in Debian's Chromium (headless, driven by playwright-core), once
// from a server on 127.0.0.1 and once straight from disk (file://): a BDF
// font, a gzip-compressed PCF and a TrueType font each give downloads equal
// to the native programs' output (fontprep --for each converter); two fonts with -ascii work; a file that
// is not a font shows fontprep's message and offers no image; the page asks
// for nothing outside its own folder. Prints "N passed, N failed".
//
//   node web/tests/browser.js        (after npm ci --prefix web)
"use strict";
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { execFileSync } = require("node:child_process");
const { serveFolder } = require("./serve.js");
const { webBuild, notBuilt, readSource, runNative } = require("./native.js");

const site = path.join(webBuild, "site");
const chromiumPath = process.env.CHROMIUM ?? "/usr/bin/chromium";
const IMAGE_NAMES = ["KANJIROM.66", "CGROM60.66", "CGROM66.66"];
// A guard against a page that never finishes, not a measure of speed.
const LONGEST_RUN = 10 * 60 * 1000;

const fonts = {
  "shinonome-16-gothic.bdf": readSource("samples/shinonome-16-gothic.bdf"),
  "shinonome-12-gothic.bdf": readSource("samples/shinonome-12-gothic.bdf"),
  "shinonome-16-subset.pcf.gz": readSource("samples/shinonome-16-subset.pcf.gz"),
  "traced.ttf": readSource("fuzz/corpus/fontprep/big_traced_glyf.ttf"),
  "notes.txt": readSource("README.md"),
};

// ---- What the native programs make, run as the README's command lines.

function nativeRun(program, args, inputs) {
  const run = runNative(program, args, inputs);
  return { ...run, message: (run.stdout + run.stderr).trim() };
}

// The font a converter reads: BDF as it is, else through fontprep --for it.
function nativeFont(name, tool) {
  if (name.endsWith(".bdf")) return { [name]: fonts[name] };
  const run = nativeRun("fontprep", ["--for", tool, "-o", "font.bdf", name], { [name]: fonts[name] });
  return { "font.bdf": run.files["font.bdf"] };
}

function nativeImages(fontName, { ascii = false, second } = {}) {
  const kanjiFont = nativeFont(fontName, "glyphmill");
  const characterFont = nativeFont(fontName, "cellforge");
  const cellforgeArgs = [...(ascii ? ["-ascii"] : []), ...Object.keys(characterFont)];
  if (second) {
    characterFont[second] = fonts[second];
    cellforgeArgs.push(second);
  }
  return {
    ...nativeRun("glyphmill", Object.keys(kanjiFont), kanjiFont).files,
    ...nativeRun("cellforge", cellforgeArgs, characterFont).files,
  };
}

// ---- Driving the page.

async function choose(page, input, names) {
  await page.setInputFiles(input, names.map((name) => ({ name, mimeType: "application/octet-stream", buffer: fonts[name] })));
  await page.waitForFunction((count) => document.querySelectorAll("#main-list li, #second-list li").length >= count,
    names.length, { timeout: LONGEST_RUN });
}

async function makeImages(page, { main, second = [], ascii = false }) {
  await page.reload();
  await choose(page, "#main-input", main);
  if (second.length > 0 || ascii) await page.click("#more-options summary");
  if (second.length > 0) await choose(page, "#second-input", second);
  if (ascii) await page.check("#ascii");
  await page.click("#make");
  await page.waitForFunction(() => /^(Done|Stopped)/.test(document.getElementById("status").textContent),
    null, { timeout: LONGEST_RUN });
}

async function download(page, link) {
  const [file] = await Promise.all([page.waitForEvent("download"), link.click()]);
  return { name: file.suggestedFilename(), bytes: fs.readFileSync(await file.path()) };
}

async function downloads(page) {
  const files = {};
  for (const link of await page.locator("#images a[download]").all()) {
    const { name, bytes } = await download(page, link);
    files[name] = bytes;
  }
  return files;
}

// The files in a .zip, through Python's zipfile.
function unzip(bytes) {
  const script = "import sys, zipfile, io, json\n" +
    "z = zipfile.ZipFile(io.BytesIO(sys.stdin.buffer.read()))\n" +
    "print(json.dumps({n: z.read(n).hex() for n in z.namelist()}))";
  const entries = JSON.parse(execFileSync("python3", ["-c", script], { input: bytes }));
  return Object.fromEntries(Object.entries(entries).map(([name, hex]) => [name, Buffer.from(hex, "hex")]));
}

function sameFiles(actual, expected, what) {
  const names = (files) => Object.keys(files).sort().join(" ");
  if (names(actual) !== names(expected)) throw new Error(`${what}: ${names(actual)} instead of ${names(expected)}`);
  for (const name of Object.keys(expected)) {
    if (!actual[name].equals(expected[name])) throw new Error(`${what}: ${name} differs from the native program's`);
  }
}

async function expectImages(page, expected) {
  const status = await page.textContent("#status");
  if (!status.startsWith("Done")) throw new Error(`${status} ${await page.textContent("#failures")}`);
  sameFiles(await downloads(page), expected, "downloads");
  const all = await download(page, page.locator("#download-all"));
  sameFiles(unzip(all.bytes), expected, all.name);
  const sheets = await page.locator("#images img").evaluateAll((images) => images.filter((image) => image.naturalWidth > 0).length);
  if (sheets !== 3) throw new Error(`${sheets} sheets shown`);
  const reports = await page.locator("#images pre").allTextContents();
  if (!reports.some((text) => text.includes("second-set codes showing the placeholder"))) throw new Error("no report");
}

const scenarios = {
  "a BDF font": async (page) => {
    await makeImages(page, { main: ["shinonome-16-gothic.bdf"] });
    await expectImages(page, nativeImages("shinonome-16-gothic.bdf"));
  },
  "a gzip-compressed PCF font": async (page) => {
    await makeImages(page, { main: ["shinonome-16-subset.pcf.gz"] });
    await expectImages(page, nativeImages("shinonome-16-subset.pcf.gz"));
  },
  "a TrueType font": async (page) => {
    await makeImages(page, { main: ["traced.ttf"] });
    await expectImages(page, nativeImages("traced.ttf"));
  },
  "two fonts and -ascii": async (page) => {
    await makeImages(page, { main: ["shinonome-12-gothic.bdf"], second: ["shinonome-16-gothic.bdf"], ascii: true });
    await expectImages(page, nativeImages("shinonome-12-gothic.bdf", { ascii: true, second: "shinonome-16-gothic.bdf" }));
  },
  "a file that is not a font": async (page) => {
    await makeImages(page, { main: ["notes.txt"] });
    const expected = nativeRun("fontprep", ["-o", "font.bdf", "notes.txt"], { "notes.txt": fonts["notes.txt"] });
    const shown = await page.textContent("#failures");
    if (!shown.includes(expected.message)) throw new Error(`shown: ${shown}; fontprep says: ${expected.message}`);
    const links = await page.locator("a[download]:visible").count();
    if (links !== 0) throw new Error(`${links} downloads offered`);
  },
};

// ---- Running it all.

function launchArguments() {
  const args = ["--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync"];
  if (process.getuid?.() === 0) args.push("--no-sandbox");
  return args;
}

async function openBrowser(chromium) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "web-test-profile-"));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath, headless: true, args: launchArguments(), acceptDownloads: true,
  });
  return { context, close: async () => { await context.close(); fs.rmSync(profile, { recursive: true, force: true }); } };
}

// Runs every scenario against the page at base; every request the page
// makes must be for its own folder (or its own blob: URLs).
async function testSite(context, base, results) {
  const requests = [];
  const note = (request) => requests.push(request.url());
  context.on("request", note);
  const page = await context.newPage();
  page.on("pageerror", (error) => requests.push(`page error: ${error.message}`));
  await page.goto(new URL("index.html", base).href);
  for (const [name, scenario] of Object.entries(scenarios)) {
    await record(results, `${base.protocol} ${name}`, () => scenario(page));
  }
  await record(results, `${base.protocol} no request outside the page's folder`, async () => {
    const outside = requests.filter((url) => !url.startsWith(base.href) && !url.startsWith("blob:"));
    if (outside.length > 0) throw new Error(outside.join(", "));
  });
  context.off("request", note);
  await page.close();
}

async function record(results, name, check) {
  try {
    await check();
    results.passed++;
    console.log(`ok - ${name}`);
  } catch (error) {
    results.failed++;
    console.log(`FAILED - ${name}: ${error.message.split("\n")[0]}`);
  }
}

function missingTools() {
  const reasons = [notBuilt([path.join("site", "index.html")])];
  if (!fs.existsSync(chromiumPath)) reasons.push(`no Chromium at ${chromiumPath} (apt-get install chromium)`);
  try {
    require.resolve("playwright-core");
  } catch {
    reasons.push("no playwright-core (npm ci --prefix web)");
  }
  return reasons.filter(Boolean).join("; ");
}

async function main() {
  const missing = missingTools();
  if (missing) {
    console.log(`skipped: ${missing}`);
    console.log("0 passed, 0 failed, 1 skipped");
    return;
  }
  const { chromium } = require("playwright-core");
  const results = { passed: 0, failed: 0 };
  const server = await serveFolder(site);
  const browser = await openBrowser(chromium);
  try {
    await testSite(browser.context, server.base, results);
    await testSite(browser.context, new URL(`file://${site}/`), results);
    await record(results, "the server was asked only for the site's files", async () => {
      if (server.missed.length > 0) throw new Error(server.missed.join(", "));
    });
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`${results.passed} passed, ${results.failed} failed`);
  process.exitCode = results.failed > 0 ? 1 : 0;
}

main().catch((error) => {
  console.log(`FAILED: ${error.stack}`);
  console.log("0 passed, 1 failed");
  process.exitCode = 1;
});
