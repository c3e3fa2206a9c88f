// What every fuzz target shares: the input becomes a font file that is
// opened with open_font_stream, as the programs open theirs, so the 100-byte
// pieces, buffer refills and seeks back run exactly as in a real run.
#pragma once
#include <cstddef>
#include <cstdint>

#include "font_stream.h"

// Comment lines of 80 bytes that put the input just before the first buffer
// refill, at one of eight places: a pass then reads across the refill and
// seeks back over it, rereading the file.
constexpr std::size_t refill_padding_lines = 3268;
constexpr std::size_t max_padding_lines = refill_padding_lines + 7;

// Makes the scratch font file hold padding_lines comment lines (at most
// max_padding_lines) followed by the input, and opens it. False when it
// cannot be opened.
bool open_fuzz_font(FontStream& stream, const std::uint8_t* data, std::size_t size,
                    std::size_t padding_lines);

// Stops the run as a crash when a property of the result does not hold.
inline void require(bool holds) {
    if (!holds) __builtin_trap();
}
