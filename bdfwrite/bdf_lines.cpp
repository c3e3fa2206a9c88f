#include "bdf_lines.h"

#include <cstdarg>
#include <cstdio>

void append_bdf_line(std::string& text, const char* format, ...) {
    char line[bdf_line_capacity + 1];
    va_list values;
    va_start(values, format);
    std::vsnprintf(line, sizeof line, format, values);
    va_end(values);
    text += line;
    text += '\n';
}

void append_bdf_row(std::string& text, const std::uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    text += '\n';
}
