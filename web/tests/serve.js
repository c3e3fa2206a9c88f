// A static server of one folder on 127.0.0.1, on a port the system picks,
// for the browser test. It notes every request for a file the folder does
// not have, and never keeps the process alive on its own.
"use strict";
const fs = require("node:fs");
const http = require("node:http");
const path = require("node:path");

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" };

function serveFolder(folder) {
  const missed = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    const file = path.join(folder, path.normalize(name));
    if (!file.startsWith(folder + path.sep) || !fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
      missed.push(request.url);
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] ?? "application/octet-stream" });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      server.unref();
      resolve({
        base: new URL(`http://127.0.0.1:${server.address().port}/`),
        missed,
        close: () => server.close(),
      });
    });
  });
}

module.exports = { serveFolder };
