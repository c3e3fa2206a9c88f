// The page's worker: runs one of the toolkit's programs at a time, as a
// shell would. The programs' modules (createGlyphmill, ...) and their
// WebAssembly in base64 (programWasm) come before this script in the same
// worker script (see build_site.py).
//
// A request names the program, its arguments and its input files; the
// answer holds its exit status, what it printed on standard output and
// standard error, and every file it wrote.

const factories = {
  glyphmill: createGlyphmill,
  cellforge: createCellforge,
  romview: createRomview,
  fontprep: createFontprep,
};
const compiled = {};

function decodeBase64(text) {
  return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
}

// Each program is compiled once; every run gets a fresh instance of it.
function compile(program) {
  compiled[program] ??= WebAssembly.compile(decodeBase64(programWasm[program]));
  return compiled[program];
}

async function start(program, output) {
  const wasm = await compile(program);
  return new Promise((resolve, reject) => {
    factories[program]({
      print: (line) => { output.stdout += line + "\n"; },
      printErr: (line) => { output.stderr += line + "\n"; },
      stdin: () => null,  // standard input is empty: the page never uses it
      quit: (status, exit) => { throw exit; },
      instantiateWasm: (imports, done) => {
        WebAssembly.instantiate(wasm, imports).then((instance) => done(instance, wasm), reject);
        return {};
      },
    }).then(resolve, reject);
  });
}

// Runs the program in a folder of its own. A program that cannot start,
// or crashes instead of exiting, is reported with status 1 and the error.
async function run({ program, args, files }) {
  const output = { status: 1, stdout: "", stderr: "", files: {} };
  try {
    const module = await start(program, output);
    module.FS.mkdir("/run");
    module.FS.chdir("/run");
    for (const [name, bytes] of Object.entries(files)) module.FS.writeFile(name, bytes);
    output.status = module.callMain(args);
    for (const name of module.FS.readdir(".")) {
      if (name !== "." && name !== ".." && !(name in files)) output.files[name] = module.FS.readFile(name);
    }
  } catch (error) {
    output.stderr += `${program}: ${error.message}\n`;
  }
  return output;
}

self.onmessage = async ({ data }) => {
  const output = await run(data);
  const buffers = Object.values(output.files).map((bytes) => bytes.buffer);
  self.postMessage({ id: data.id, ...output }, buffers);
};
