// The web build's programs (build-web/, as the page runs them: fresh
// instance, files in memory, callMain) against the native build's (build/):
// on the sample fonts and the outline fonts of the fuzz corpus, every image,
// sheet, report, font, message and exit status must be the same, byte for
// byte. NATIVE_BUILD and WEB_BUILD name other build folders.
//
//   node --test web/tests/
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const { webBuild, programs, notBuilt, readSource, writtenFiles, runNative } = require("./native.js");

const skip = notBuilt(programs.map((program) => path.join(program, `${program}.js`))) || false;
// Each instance of a program hooks Node's process-wide error events.
process.setMaxListeners(0);

const fonts = {
  "kanji.bdf": readSource("samples/shinonome-16-gothic.bdf"),
  "small.bdf": readSource("samples/shinonome-12-gothic.bdf"),
  "subset.pcf.gz": readSource("samples/shinonome-16-subset.pcf.gz"),
  "traced.ttf": readSource("fuzz/corpus/fontprep/big_traced_glyf.ttf"),
  "traced.otf": readSource("fuzz/corpus/fontprep/big_traced_cff.otf"),
  "not-a-font.bdf": readSource("README.md"),
};

// Standard input as a pipe that claims every seek succeeds without moving,
// as Emscripten's file systems may: a font read twice from it would be
// read wrong.
function seekClaimingStdin(module, bytes) {
  let at = 0;
  const stream = module.FS.getStream(0);
  stream.seekable = true;
  stream.stream_ops = { ...stream.stream_ops, llseek: (_, offset) => offset };
  return () => (at < bytes.length ? bytes[at++] : null);
}

async function runWasm(program, args, inputs, stdin) {
  const output = { status: 1, stdout: "", stderr: "" };
  let readStdin = () => null;
  const module = await require(path.join(webBuild, program, `${program}.js`))({
    wasmBinary: fs.readFileSync(path.join(webBuild, program, `${program}.wasm`)),
    print: (line) => { output.stdout += line + "\n"; },
    printErr: (line) => { output.stderr += line + "\n"; },
    stdin: () => readStdin(),
    quit: (status, exit) => { throw exit; },
  });
  if (stdin) readStdin = seekClaimingStdin(module, stdin);
  module.FS.mkdir("/run");
  module.FS.chdir("/run");
  for (const [name, bytes] of Object.entries(inputs)) module.FS.writeFile(name, bytes);
  output.status = module.callMain(args);
  const names = module.FS.readdir(".").filter((name) => name !== "." && name !== "..");
  return { ...output, files: writtenFiles(names, inputs, (name) => module.FS.readFile(name)) };
}

// Runs both builds and requires the same outcome; returns it.
async function same(program, args, inputs, stdin) {
  const native = runNative(program, args, inputs, stdin);
  const wasm = await runWasm(program, args, inputs, stdin);
  assert.deepStrictEqual(wasm, native);
  return native;
}

const pick = (...names) => Object.fromEntries(names.map((name) => [name, fonts[name]]));

test("glyphmill and romview: the kanji ROM and its sheet", { skip }, async () => {
  const made = await same("glyphmill", ["kanji.bdf"], pick("kanji.bdf"));
  assert.strictEqual(made.files["KANJIROM.66"].length, 32768);
  const viewed = await same("romview", ["KANJIROM.66"], made.files);
  assert.ok(viewed.files["KANJIROM.66.png"].length > 0);
});

test("cellforge and romview: the character ROMs, their sheets and missing codes", { skip }, async () => {
  const made = await same("cellforge", ["small.bdf"], pick("small.bdf"));
  assert.deepStrictEqual(Object.keys(made.files), ["CGROM60.66", "CGROM66.66"]);
  for (const image of ["CGROM60.66", "CGROM66.66"]) await same("romview", [image], { [image]: made.files[image] });
  await same("romview", ["CGROM66.66", "--list"], { "CGROM66.66": made.files["CGROM66.66"] });
});

test("cellforge -ascii with two fonts", { skip }, async () => {
  const made = await same("cellforge", ["-ascii", "small.bdf", "kanji.bdf"], pick("small.bdf", "kanji.bdf"));
  assert.strictEqual(Object.keys(made.files).length, 2);
});

test("fontprep: gzip-compressed PCF, TrueType, OpenType, a merge, sized and fitted for each converter", { skip }, async () => {
  const runs = [
    ["-o", "out.bdf", "subset.pcf.gz"],
    ["-o", "out.bdf", "traced.ttf"],
    ["--for", "glyphmill", "-o", "out.bdf", "traced.ttf"],
    ["--for", "cellforge", "--no-aliases", "-o", "out.bdf", "traced.ttf"],
    ["--for", "cellforge", "--fit", "-o", "out.bdf", "subset.pcf.gz"],
    ["-s", "12", "-o", "out.bdf", "traced.otf"],
    ["-n", "unicode", "--no-aliases", "-o", "out.bdf", "subset.pcf.gz", "traced.ttf"],
  ];
  for (const args of runs) {
    const made = await same("fontprep", args, pick(...args.filter((arg) => arg in fonts)));
    assert.ok(made.files["out.bdf"].length > 0, args.join(" "));
    await same("glyphmill", ["out.bdf"], made.files);
  }
});

test("failures: the same message and status", { skip }, async () => {
  const runs = [
    ["glyphmill", ["not-a-font.bdf"]],
    ["cellforge", ["missing.bdf"]],
    ["fontprep", ["-o", "out.bdf", "not-a-font.bdf"]],
    ["romview", ["not-a-font.bdf"]],
  ];
  for (const [program, args] of runs) {
    const failed = await same(program, args, pick("not-a-font.bdf"));
    assert.strictEqual(failed.status, 1, program);
    assert.deepStrictEqual(failed.files, {}, program);
  }
});

test("a font on standard input is read whole even where seeking claims success", { skip }, async () => {
  const made = await same("glyphmill", ["-"], {}, fonts["kanji.bdf"]);
  const fromFile = runNative("glyphmill", ["kanji.bdf"], pick("kanji.bdf"));
  assert.deepStrictEqual(made.files, fromFile.files);
});
