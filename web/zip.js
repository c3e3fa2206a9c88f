// zipFiles([{name, bytes}]): a Blob of a .zip archive holding the files as
// they are (stored, not compressed), for "download all three".
"use strict";

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// A record of little-endian fields, each given as [bytes (2 or 4), value].
function record(...fields) {
  const view = new DataView(new ArrayBuffer(fields.reduce((sum, [bytes]) => sum + bytes, 0)));
  let at = 0;
  for (const [bytes, value] of fields) {
    if (bytes === 2) view.setUint16(at, value, true);
    else view.setUint32(at, value, true);
    at += bytes;
  }
  return new Uint8Array(view.buffer);
}

function zipFiles(files) {
  const entries = [];
  const directory = [];
  let offset = 0;
  for (const { name, bytes } of files) {
    const encodedName = new TextEncoder().encode(name);
    // Version 2.0, UTF-8 names, stored, 1980-01-01 00:00, CRC, sizes, name length.
    const common = [[2, 20], [2, 0x800], [2, 0], [2, 0], [2, 0x21], [4, crc32(bytes)],
      [4, bytes.length], [4, bytes.length], [2, encodedName.length]];
    entries.push(record([4, 0x04034b50], ...common, [2, 0]), encodedName, bytes);
    directory.push(record([4, 0x02014b50], [2, 20], ...common, [2, 0], [2, 0], [2, 0], [2, 0],
      [4, 0], [4, offset]), encodedName);
    offset += 30 + encodedName.length + bytes.length;
  }
  const directorySize = directory.reduce((sum, part) => sum + part.length, 0);
  const end = record([4, 0x06054b50], [2, 0], [2, 0], [2, files.length], [2, files.length],
    [4, directorySize], [4, offset], [2, 0]);
  return new Blob([...entries, ...directory, end], { type: "application/zip" });
}
