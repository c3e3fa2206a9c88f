// Lines of BDF text appended to the font being written: a line made like
// printf's, and a bitmap row in hexadecimal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Longest line append_bdf_line writes whole; a longer one is cut there.
constexpr int bdf_line_capacity = 127;

// Appends the line format and its values make, and a newline. MinGW-w64
// names the checks of the printf it links (C99's, with %zu) itself.
#if defined(__MINGW_PRINTF_FORMAT)
__attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)))
#elif defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void append_bdf_line(std::string& text, const char* format, ...);

// Appends a bitmap row of count bytes, bit 7 of the first the leftmost dot,
// as two upper-case hexadecimal digits a byte, and a newline.
void append_bdf_row(std::string& text, const std::uint8_t* bytes, std::size_t count);
