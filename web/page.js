// The page: a thin shell around the four programs. It keeps the fonts the
// user chose, runs fontprep, glyphmill, cellforge and romview on them in the
// worker as the command lines in the README would, and shows and offers
// what they wrote. Every failure is the program's own message.
"use strict";

const IMAGES = {
  "KANJIROM.66": "the kanji ROM: 1024 kanji of 16 × 16 dots",
  "CGROM60.66": "character ROM 1: 512 cells of 8 × 10 dots, with the block graphics",
  "CGROM66.66": "character ROM 2: 512 cells of 8 × 10 dots, both character sets",
};
// The fonts fontprep writes, named so as not to meet a font of the user's.
const PREPARED = { kanji: "fontprep-kanji.bdf", character: "fontprep-character.bdf", second: "fontprep-second.bdf" };

const $ = (id) => document.getElementById(id);

// ---- The worker, which runs one program at a time.

const worker = new Worker(URL.createObjectURL(new Blob([workerScript], { type: "text/javascript" })));
const waiting = new Map();
let nextRun = 0;
worker.onmessage = ({ data }) => {
  waiting.get(data.id)(data);
  waiting.delete(data.id);
};

function runInWorker(program, args, files) {
  return new Promise((resolve) => {
    const id = nextRun++;
    waiting.set(id, resolve);
    worker.postMessage({ id, program, args, files });
  });
}

// ---- Lists of fonts, in the order they are given to the programs.

function fontList(list, input, drop) {
  const fonts = [];
  const render = () => {
    list.replaceChildren(...fonts.map((font, at) => fontItem(fonts, font, at, render)));
    updateMakeButton();
  };
  const add = async (files) => {
    for (const file of files) {
      const font = { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
      const same = fonts.findIndex((known) => known.name === font.name);
      if (same >= 0) fonts[same] = font;
      else fonts.push(font);
    }
    render();
  };
  input.addEventListener("change", () => add(input.files).then(() => { input.value = ""; }));
  drop.addEventListener("dragover", (event) => {
    event.preventDefault();
    drop.classList.add("over");
  });
  drop.addEventListener("dragleave", () => drop.classList.remove("over"));
  drop.addEventListener("drop", (event) => {
    event.preventDefault();
    drop.classList.remove("over");
    add(event.dataTransfer.files);
  });
  return fonts;
}

// A new element with the given properties and children.
function element(tag, properties = {}, ...children) {
  const made = Object.assign(document.createElement(tag), properties);
  made.append(...children);
  return made;
}

function button(text, title, action) {
  const made = element("button", { type: "button", textContent: text, title });
  made.addEventListener("click", action);
  return made;
}

function fontItem(fonts, font, at, render) {
  const change = (edit) => () => {
    edit();
    render();
  };
  const move = (by) => change(() => fonts.splice(at + by, 0, ...fonts.splice(at, 1)));
  const up = button("↑", "Earlier: its glyphs win", move(-1));
  const down = button("↓", "Later: it fills only what the others lack", move(1));
  up.disabled = at === 0;
  down.disabled = at === fonts.length - 1;
  return element("li", {},
    element("span", { className: "name", textContent: font.name }),
    element("span", { className: "size", textContent: `${Math.max(1, Math.round(font.bytes.length / 1024))} KB` }),
    up, down, button("✕", "Remove", change(() => fonts.splice(at, 1))));
}

const mainFonts = fontList($("main-list"), $("main-input"), $("main-drop"));
const secondFonts = fontList($("second-list"), $("second-input"), $("second-drop"));

let running = false;

function updateMakeButton() {
  if (running) return;
  $("make").disabled = mainFonts.length === 0;
  setStatus(mainFonts.length === 0 ? "Choose at least one font." : "Ready.");
}

// ---- Running the programs as a shell would.

function setStatus(text) {
  $("status").textContent = text;
}

// A name as an argument: one starting with "-" would read as an option.
const argument = (name) => (name.startsWith("-") ? `./${name}` : name);

function filesOf(...fonts) {
  return Object.fromEntries(fonts.map((font) => [font.name, font.bytes]));
}

function log(program, args, result) {
  const command = [program, ...args].map((word) => (/[\s'"]/.test(word) ? `'${word}'` : word)).join(" ");
  $("log-box").hidden = false;
  $("log").textContent += `$ ${command}\n${result.stdout}${result.stderr}(exit status ${result.status})\n\n`;
}

function showFailure(program, result) {
  $("failures").append(element("div", { className: "failure" },
    element("p", { textContent: `${program} stopped (exit status ${result.status}):` }),
    element("pre", { textContent: (result.stdout + result.stderr).trim() || "(no message)" })));
}

async function run(program, args, files, doing) {
  setStatus(`${doing} (${program})…`);
  const result = await runInWorker(program, args, files);
  log(program, args, result);
  if (result.status !== 0) showFailure(program, result);
  return result;
}

// ---- fontprep's choices.

// fontprep's options for fonts a converter (tool) reads: fonts sized for its
// images (--for) unless the user gave one pixel size for both.
function fontprepOptions(tool) {
  const pixels = $("pixel-size").value.trim();
  const options = pixels ? ["-s", pixels] : ["--for", tool];
  if ($("numbering").value) options.push("-n", $("numbering").value);
  if ($("fitting").value) options.push($("fitting").value);
  if (!$("aliases").checked) options.push("--no-aliases");
  return options;
}

// A BDF font alone is read as it is, unless bitmap fonts are to be fitted.
const needsFontprep = (fonts) =>
  fonts.length > 1 || !/\.bdf$/i.test(fonts[0].name) || $("fitting").value === "--fit";

// The font tool reads: the BDF font fontprep makes of the fonts (merged in
// order), or a BDF font as it is. Null when fontprep fails.
async function prepare(fonts, tool, output) {
  if (!needsFontprep(fonts)) return fonts[0];
  const args = [...fontprepOptions(tool), "-o", output, ...fonts.map((font) => argument(font.name))];
  const result = await run("fontprep", args, filesOf(...fonts), `Preparing the fonts for ${tool}`);
  return result.status === 0 ? { name: output, bytes: result.files[output] } : null;
}

// ---- Making, showing and offering the images.

// The character ROMs' font: prepared again for cellforge only where
// fontprep sizes it for each converter and the kanji ROM's succeeded.
async function characterFont(kanjiFont) {
  const sameFont = !kanjiFont || !needsFontprep(mainFonts) || $("pixel-size").value.trim();
  return sameFont ? kanjiFont : prepare(mainFonts, "cellforge", PREPARED.character);
}

async function makeImages() {
  const images = {};
  const kanjiFont = await prepare(mainFonts, "glyphmill", PREPARED.kanji);
  if (kanjiFont) {
    const result = await run("glyphmill", [argument(kanjiFont.name)], filesOf(kanjiFont), "Making the kanji ROM");
    Object.assign(images, result.files);
  }
  const font = await characterFont(kanjiFont);
  const second = secondFonts.length > 0 ? await prepare(secondFonts, "cellforge", PREPARED.second) : undefined;
  if (font && second !== null) {
    const fonts = second ? [font, second] : [font];
    const args = [...($("ascii").checked ? ["-ascii"] : []), ...fonts.map((font) => argument(font.name))];
    const result = await run("cellforge", args, filesOf(...fonts), "Making the character ROMs");
    Object.assign(images, result.files);
  }
  return images;
}

async function showImage(name, bytes) {
  const result = await run("romview", [name], { [name]: bytes }, `Drawing ${name}`);
  const sheet = result.files[`${name}.png`];
  $("images").append(element("article", { className: "image" },
    element("h3", { textContent: name }),
    element("p", { textContent: `${IMAGES[name]}, ${bytes.length} bytes.` }),
    element("a", { className: "button primary", download: name, href: objectUrl(new Blob([bytes])),
      textContent: `Download ${name}` }),
    ...(sheet ? [element("img", { src: objectUrl(new Blob([sheet], { type: "image/png" })), alt: `Every cell of ${name}` })] : []),
    element("details", { open: true },
      element("summary", { textContent: "What the image holds and which characters are missing" }),
      element("pre", { textContent: result.stdout }))));
}

// The object URLs of the last run's downloads and sheets, let go on the next.
let shown = [];

function objectUrl(blob) {
  shown.push(URL.createObjectURL(blob));
  return shown.at(-1);
}

function clearResults() {
  shown.forEach((url) => URL.revokeObjectURL(url));
  shown = [];
  $("failures").replaceChildren();
  $("images").replaceChildren();
  $("log").textContent = "";
  $("log-box").hidden = true;
  $("results").hidden = true;
}

async function makeAndShow() {
  running = true;
  $("make").disabled = true;
  clearResults();
  const images = await makeImages();
  const names = Object.keys(IMAGES).filter((name) => images[name]);
  for (const name of names) await showImage(name, images[name]);
  const all = $("download-all");
  all.hidden = names.length !== 3;
  all.href = names.length === 3 ? objectUrl(zipFiles(names.map((name) => ({ name, bytes: images[name] })))) : "";
  $("results").hidden = names.length === 0;
  running = false;
  $("make").disabled = false;
  const failed = $("failures").childElementCount > 0;
  setStatus(failed ? "Stopped: see the message below." : "Done: the three images are below.");
}

$("make").addEventListener("click", makeAndShow);
