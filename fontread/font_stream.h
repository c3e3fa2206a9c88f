// The font stream: a font file read through a large buffer and cut into the
// pieces that reading it line by line with a 100-byte line buffer gives.
//
// A piece ends after a newline or after 99 characters, whichever comes
// first, so a longer physical line arrives as several pieces, each handled
// as a line. The file is read in binary; a CR directly before a newline is
// taken as part of the line ending, so CR LF and LF fonts give the same
// pieces. Positions are byte offsets in the file; seeking back to the start
// of a piece that is still in the buffer costs no system call.
//
// A font that cannot be repositioned (standard input or a named pipe) is
// copied to an anonymous temporary file as it is read, so a single reading
// both copies it and scans it, and every stream can be rewound. A reader
// that knows which spans of the font it will read again (the header scan:
// the glyphs the passes draw) may have only those copied, one after the
// other; reading from the copy then stops at the end of each span.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// A piece holds at most line_capacity - 1 characters and a closing NUL.
constexpr int line_capacity = 100;
constexpr std::size_t piece_chars = line_capacity - 1;
// A piece may take one raw byte more than it has characters: the CR of a
// closing CR LF. Refilling ahead of that lets every piece be cut from one
// contiguous run of the buffer.
constexpr std::size_t piece_raw_bytes = piece_chars + 2;

constexpr std::size_t font_buffer_size = 256 * 1024;

// No real font comes near 2 GiB; a larger one, or an endless device such as
// /dev/zero, reads as a failed read instead of keeping the program busy.
constexpr std::int64_t max_font_size = std::int64_t{1} << 31;

// The end of a span kept to the end of the font, or still open.
constexpr std::int64_t open_span = INT64_MAX;

// A span of a font on a pipe that its copy holds, at copy_start there.
struct KeptSpan {
    std::int64_t font_start;
    std::int64_t font_end;
    std::int64_t copy_start;
};

// Beyond this many spans the last one is kept to the end of the font.
constexpr int kept_span_capacity = 8192;

struct FontStream {
    std::FILE* file;               // the font, or the copy of a font on a pipe
    std::FILE* pipe;               // a font on a pipe not yet read to its end; else null
    bool owns_file;                // closed by close_font_stream
    bool owns_pipe;
    bool piped;                    // the font came through a pipe
    bool copying;                  // the copy of a font on a pipe is not yet complete
    int kept_span_count;           // of a font on a pipe, in font order
    KeptSpan kept_spans[kept_span_capacity];
    std::int64_t kept_from;        // the last span's first byte not yet copied; -1 for none
    std::int64_t copy_size;
    std::int64_t read_limit;       // where the span being read ends; open_span for a file
    bool end_of_file;              // nothing left in the file beyond the buffer
    bool read_failed;              // a read, copy or seek failed; reading has stopped
    std::int64_t buffer_position;  // file offset of buffer[0]
    std::size_t cursor;            // next unread byte in buffer
    std::size_t filled;            // bytes of buffer holding file data
    unsigned char buffer[font_buffer_size];
};

// Opens the font named name, or standard input for "-". False when the font
// cannot be opened or its first read fails (a directory, say).
bool open_font_stream(FontStream& stream, const char* name);

void close_font_stream(FontStream& stream);

// Copies the piece at the cursor, whose whole is buffered, into line as
// read_line delivers it, without moving on; gives its raw size.
std::size_t copy_piece(const FontStream& stream, char (&line)[line_capacity]);

// Reads the next piece into line as a NUL-terminated string (a NUL byte in
// the font ends the string early, as it would for any C string); false at
// end of file. A CR LF ending is delivered as a single newline.
bool read_line(FontStream& stream, char (&line)[line_capacity]);

// Moves the unread bytes to the front of the buffer and reads more after them.
void refill(FontStream& stream);

// Makes the whole piece at the cursor present in the buffer, reading on
// when fewer than piece_raw_bytes are left; false at end of file.
inline bool buffer_piece(FontStream& stream) {
    if (stream.filled - stream.cursor < piece_raw_bytes && !stream.end_of_file) refill(stream);
    return stream.filled > stream.cursor;
}

// The raw bytes of the buffered piece at the cursor, its line end included.
std::size_t piece_size(const FontStream& stream);

std::int64_t tell(const FontStream& stream);
// A font on a pipe is first copied to its end, so that reading may go on
// from anywhere.
void seek(FontStream& stream, std::int64_t position);
void rewind(FontStream& stream);

// The spans of a font on a pipe that its copy holds. Called before anything
// is read, copy_kept_spans_only leaves the copy empty but for the spans
// then kept, each from a keep_from at a buffered position to the next
// keep_until or to the end of the font, and says so; false for a font that
// is a file or is being read already. Without it these do nothing.
bool copy_kept_spans_only(FontStream& stream);
void keep_from(FontStream& stream, std::int64_t position);
void keep_until(FontStream& stream, std::int64_t position);
