// What both web tests share: the source and build folders, and running a
// native program in a scratch folder as a shell would.
"use strict";
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { spawnSync } = require("node:child_process");

const source = path.resolve(__dirname, "../..");
const nativeBuild = path.resolve(process.env.NATIVE_BUILD ?? path.join(source, "build"));
const webBuild = path.resolve(process.env.WEB_BUILD ?? path.join(source, "build-web"));
const programs = ["glyphmill", "cellforge", "romview", "fontprep"];

// What is needed but not built, as one line ("" when all is there).
function notBuilt(webFiles) {
  const needed = [...programs.map((program) => path.join(nativeBuild, program, program)),
    ...webFiles.map((file) => path.join(webBuild, file))];
  const missing = needed.filter((file) => !fs.existsSync(file));
  return missing.length > 0 ? `not built: ${missing.join(", ")}` : "";
}

const readSource = (file) => fs.readFileSync(path.join(source, file));

// Every file named that is not one of the inputs, in name order.
function writtenFiles(names, inputs, read) {
  const files = {};
  for (const name of [...names].sort()) if (!(name in inputs)) files[name] = Buffer.from(read(name));
  return files;
}

// Runs a native program on inputs ({name: bytes}) in a scratch folder:
// its status, standard output and error, and the files it wrote.
function runNative(program, args, inputs, stdin) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "web-test-"));
  try {
    for (const [name, bytes] of Object.entries(inputs)) fs.writeFileSync(path.join(folder, name), bytes);
    const run = spawnSync(path.join(nativeBuild, program, program), args, { cwd: folder, input: stdin ?? "" });
    const files = writtenFiles(fs.readdirSync(folder), inputs, (name) => fs.readFileSync(path.join(folder, name)));
    return { status: run.status, stdout: run.stdout.toString(), stderr: run.stderr.toString(), files };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

module.exports = { source, webBuild, programs, notBuilt, readSource, writtenFiles, runNative };
