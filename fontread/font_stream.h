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
// first copied to an anonymous temporary file, so every stream can be
// rewound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// A piece holds at most line_capacity - 1 characters and a closing NUL.
constexpr int line_capacity = 100;

constexpr std::size_t font_buffer_size = 256 * 1024;

// No real font comes near 2 GiB; a larger one, or an endless device such as
// /dev/zero, reads as a failed read instead of keeping the program busy.
constexpr std::int64_t max_font_size = std::int64_t{1} << 31;

struct FontStream {
    std::FILE* file;
    bool owns_file;                // closed by close_font_stream
    bool end_of_file;              // nothing left in the file beyond the buffer
    bool read_failed;              // a read or seek failed; reading has stopped
    std::int64_t buffer_position;  // file offset of buffer[0]
    std::size_t cursor;            // next unread byte in buffer
    std::size_t filled;            // bytes of buffer holding file data
    unsigned char buffer[font_buffer_size];
};

// Opens the font named name, or standard input for "-". False when the font
// cannot be opened or its first read fails (a directory, say).
bool open_font_stream(FontStream& stream, const char* name);

void close_font_stream(FontStream& stream);

// Reads the next piece into line as a NUL-terminated string (a NUL byte in
// the font ends the string early, as it would for any C string); false at
// end of file. A CR LF ending is delivered as a single newline.
bool read_line(FontStream& stream, char (&line)[line_capacity]);

std::int64_t tell(const FontStream& stream);
void seek(FontStream& stream, std::int64_t position);
void rewind(FontStream& stream);
