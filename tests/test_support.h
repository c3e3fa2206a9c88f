// Fonts written by the tests, programs run on them, images read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "font_header.h"
#include "font_stream.h"

using Bytes = std::vector<std::uint8_t>;

// A fresh empty directory under the system's temporary directory, removed
// with its contents when the object goes.
struct ScratchDir {
    std::string path;
    ScratchDir();
    ~ScratchDir();
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void write_file(const std::string& path, const std::string& content);
// The bytes of a file; empty when it is missing or not a regular file.
Bytes read_file(const std::string& path);
bool file_exists(const std::string& path);

// A BDF font with the given properties and glyphs. A glyph's rows are its
// bitmap lines as they stand in the file.
struct TestGlyph {
    int encoding;
    std::string bbx;  // "w h x y"
    std::vector<std::string> rows;
};

std::string make_font(const std::string& registry, int ascent, int descent,
                      const std::vector<TestGlyph>& glyphs);

// A BDF font FreeType accepts: make_font's with SIZE, FONTBOUNDINGBOX,
// CHARSET_ENCODING and each glyph's widths added.
std::string full_font(const std::string& registry, const std::string& encoding, int ascent, int descent,
                      const std::vector<TestGlyph>& glyphs);

// The pieces a 100-byte line buffer gives on a text stream that turns
// CR LF into LF: at most 99 characters, ending after a newline, each cut at
// a NUL byte; starts, when not null, receives where each begins.
std::vector<std::string> reference_pieces(const std::string& raw, std::vector<std::int64_t>* starts);

// Opens text as a font stream, through a file in dir.
void open_text_stream(FontStream& stream, const ScratchDir& dir, const std::string& text);

// The header scan, recording no glyph.
HeaderScan scan_header(FontStream& stream, bool accept_unknown_charset);

struct RunResult {
    int status;          // exit status, or -1 when the program did not exit normally
    std::string output;  // standard output and standard error
};

// Runs a shell command in dir.
RunResult run_in(const ScratchDir& dir, const std::string& command);

// Runs a shell command in dir with standard output on a pipe whose reader
// is already gone; the output is what it printed on standard error.
RunResult run_into_closed_pipe(const ScratchDir& dir, const std::string& command);

// A cell of 16-bit rows (bit 15 = leftmost dot) drawn as rows of '#' and '.'.
std::string draw_rows(const std::uint16_t* rows, int width, int height);
// A byte cell (bit 7 = leftmost dot) drawn the same way.
std::string draw_byte_cell(const std::uint8_t* rows, int height);

// A small tmpfs of its own at path, of size as mount takes it ("64k"),
// unmounted when the object goes. Mounting needs root; where it fails,
// mounted is false and error the errno.
struct SmallDisk {
    std::string path;
    bool mounted;
    int error;
    SmallDisk(const std::string& at, const char* size);
    ~SmallDisk();
};
