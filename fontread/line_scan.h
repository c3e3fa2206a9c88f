// Keywords and values of a font line, taken as a formatted scan takes them:
// the keyword only at the very start of the line and case-sensitively, each
// value after any amount of white space, including none ("ENCODING65" gives
// 65). Numbers beyond the 32-bit range saturate instead of overflowing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "font_stream.h"

// Reads up to count decimal numbers from text and returns how many were
// read; -1 when the text holds nothing but white space, as a formatted scan
// reports input that ends before its first number.
int scan_numbers(const char* text, std::int32_t* values, int count);

// What follows keyword when line starts with it, else null. Inline and
// byte by byte: it runs for every line of every pass.
template <std::size_t size>
inline const char* after_keyword(const char* line, const char (&keyword)[size]) {
    for (std::size_t i = 0; i + 1 < size; ++i) {
        if (line[i] != keyword[i]) return nullptr;
    }
    return line + size - 1;
}

// The number of a "KEYWORD %d" line; false when the line is another one or
// no number follows the keyword.
template <std::size_t size>
inline bool scan_keyword_number(const char* line, const char (&keyword)[size], std::int32_t& value) {
    const char* values = after_keyword(line, keyword);
    return values != nullptr && scan_numbers(values, &value, 1) == 1;
}

// A plain keyword line read in place, without copying it: the keyword,
// then count numbers each after one space, each an optional minus and one
// to nine digits, then LF or CR LF, within one piece. Gives the bytes of
// the line, its end included, or 0 for any other text, which the general
// scan then reads; the numbers are those the general scan gives. Inline:
// it runs for every glyph's ENCODING and BBX lines.
inline std::size_t read_plain_values(const unsigned char* text, std::size_t available, std::size_t at,
                                     std::int32_t* values, int count) {
    const std::size_t end = available < piece_chars ? available : piece_chars;
    for (int v = 0; v < count; ++v) {
        if (at + 2 >= end || text[at] != ' ') return 0;
        const bool negative = text[++at] == '-';
        at += negative;
        const std::size_t digits_end = at + 9 < end ? at + 9 : end;
        const std::size_t first_digit = at;
        std::uint32_t magnitude = 0;
        for (unsigned digit; at < digits_end && (digit = text[at] - 48u) <= 9; ++at) magnitude = magnitude * 10 + digit;
        if (at == first_digit || at == end || text[at] - 48u <= 9) return 0;
        const auto value = static_cast<std::int32_t>(magnitude);
        values[v] = negative ? -value : value;
    }
    if (text[at] == '\r' && at + 1 < end) ++at;
    return text[at] == '\n' ? at + 1 : 0;
}

template <std::size_t size>
inline std::size_t read_plain_numbers(const unsigned char* text, std::size_t available,
                                      const char (&keyword)[size], std::int32_t* values, int count) {
    constexpr std::size_t length = size - 1;
    if (available < length || std::memcmp(text, keyword, length) != 0) return 0;
    return read_plain_values(text, available, length, values, count);
}

// The first white-space-delimited word of text; false when there is none.
bool scan_word(const char* text, char (&word)[line_capacity]);

// A bitmap row read as one hexadecimal number of any length: optional white
// space, an optional sign and "0x", then the digits up to the first other
// character. A minus sign negates the number in two's complement.
struct HexRow {
    const char* digits;
    int digit_count;      // 0 when the line does not read as a number
    bool negative;
    std::uint64_t low;    // bits 0..63, sign applied
};

HexRow scan_hex_row(const char* line);

// Bit `bit` of the row's value (bit 0 the least significant).
bool hex_row_bit(const HexRow& row, std::int64_t bit);
