#!/usr/bin/env python3
"""Lays out the web page in one folder that works from any static server and
straight from disk (file://), where a page may load neither a module nor a
worker from a file: everything a script needs is in a script.

    build_site.py OUT FTL.TXT PROGRAM.js...

OUT receives index.html (with the licences written in), style.css, page.js,
zip.js, programs.js and samples/. programs.js holds the worker's whole
script as one string: each PROGRAM.js (an Emscripten module), its
PROGRAM.wasm in base64, then worker.js. FTL.TXT is FreeType's licence, from
the FreeType source the programs were built with.
"""
import base64
import html
import json
import pathlib
import shutil
import sys

WEB = pathlib.Path(__file__).resolve().parent
SOURCE = WEB.parent
PAGE_FILES = ["style.css", "page.js", "zip.js"]
SAMPLE_FILES = ["shinonome-16-gothic.bdf", "shinonome-12-gothic.bdf",
                "shinonome-16-subset.pcf.gz", "LICENSE.shinonome"]


def worker_script(programs):
    parts, wasm = [], {}
    for script in programs:
        parts.append(script.read_text())
        wasm[script.stem] = base64.b64encode(script.with_suffix(".wasm").read_bytes()).decode()
    parts.append("const programWasm = " + json.dumps(wasm) + ";\n")
    parts.append((WEB / "worker.js").read_text())
    return "\n".join(parts)


def copyright_paragraphs(text, name):
    """The paragraphs of a Debian copyright file about name: its Files
    paragraph and the License paragraphs of the licences it names."""
    paragraphs = text.split("\n\n")
    files = next(p for p in paragraphs if p.startswith("Files:") and name in p.splitlines()[0])
    licence_line = next(line for line in files.splitlines() if line.startswith("License:"))
    names = licence_line.removeprefix("License:").replace(" or ", " ").replace(" and ", " ").split()
    licences = [p for p in paragraphs if p.split("\n", 1)[0] in {f"License: {n}" for n in names}]
    return "\n\n".join([files] + licences)


def licences(ftl):
    copyright_text = (SOURCE / "packaging/copyright").read_text()
    return [
        ("bdfrom: glyphmill, cellforge, romview and fontprep (MIT licence)", (SOURCE / "LICENSE").read_text()),
        ("FreeType, built into fontprep and romview (FreeType Licence)", ftl.read_text(errors="replace")),
        ("stb_image_write, built into romview (public domain or MIT)", copyright_paragraphs(copyright_text, "stb")),
        ("The Shinonome sample fonts (public domain)", (SOURCE / "samples/LICENSE.shinonome").read_text()),
        ("Every part built in, with the licences of FreeType's BDF, PCF and zlib code",
         copyright_text),
    ]


def licence_html(entries):
    return "\n".join(
        f"<details><summary>{html.escape(title)}</summary><pre>{html.escape(text)}</pre></details>"
        for title, text in entries)


def main():
    out, ftl, programs = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), map(pathlib.Path, sys.argv[3:])
    if out.exists():
        shutil.rmtree(out)
    (out / "samples").mkdir(parents=True)
    page = (WEB / "index.html").read_text()
    (out / "index.html").write_text(page.replace("<!-- licences -->", licence_html(licences(ftl))))
    for name in PAGE_FILES:
        shutil.copy(WEB / name, out / name)
    for name in SAMPLE_FILES:
        shutil.copy(SOURCE / "samples" / name, out / "samples" / name)
    script = worker_script(programs)
    (out / "programs.js").write_text(
        "// The worker's script: the four programs and web/worker.js (web/build_site.py).\n"
        "const workerScript = " + json.dumps(script) + ";\n")


if __name__ == "__main__":
    main()
