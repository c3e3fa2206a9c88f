// Keywords and values of a font line, taken as a formatted scan takes them:
// the keyword only at the very start of the line and case-sensitively, each
// value after any amount of white space, including none ("ENCODING65" gives
// 65). Numbers beyond the 32-bit range saturate instead of overflowing.
#pragma once
#include <cstddef>
#include <cstdint>

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
