// What every fuzz target shares: the input becomes a font file that is
// opened with open_font_stream, as the programs open theirs, so the 100-byte
// pieces, buffer refills and seeks back run exactly as in a real run.
#pragma once
#include <cstddef>
#include <cstdint>

#include "font_header.h"
#include "font_stream.h"

// Most comment bytes that may stand before the input: a little less than
// the stream's buffer, so that an input placed after them straddles the
// first refill.
constexpr std::size_t max_padding_bytes = font_buffer_size - 4;

// Makes the scratch font file hold padding_bytes (at most
// max_padding_bytes) of comment lines, the last one ending just before the
// input, followed by the input, and opens it. False when it cannot be
// opened.
bool open_fuzz_font(FontStream& stream, const std::uint8_t* data, std::size_t size,
                    std::size_t padding_bytes);

// Opens the input followed by a newline and comment lines a little longer
// than the stream's buffer, which leave none of the input buffered once the
// font has been read through. False when it cannot be opened.
bool open_fuzz_font_followed_by_comments(FontStream& stream, const std::uint8_t* data, std::size_t size);

// The input on a pipe, followed by those comments or not, so that the
// stream copies what its reading keeps, as for standard input; with the
// comments, all that is read again comes from that copy. The whole font is
// written into the pipe before it is opened, so no read waits (and none is
// cut short by the fuzzer's timer signal). False when it cannot be: a font
// larger than the pipe may hold here, or a pipe that cannot be widened.
bool open_fuzz_font_on_pipe(FontStream& stream, const std::uint8_t* data, std::size_t size,
                            bool followed_by_comments);

// The header scan, recording no glyph.
HeaderScan scan_header(FontStream& stream, bool accept_unknown_charset);

// Stops the run as a crash when a property of the result does not hold.
inline void require(bool holds) {
    if (!holds) __builtin_trap();
}
