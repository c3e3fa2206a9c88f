// The merged glyphs as BDF text the converters read as intended: short
// lines, ascending encodings, each glyph's box as its font gives it.
#pragma once
#include <string>

#include "merge.h"

// Longest registry or encoding name written; longer ones are cut.
constexpr int bdf_name_capacity = 33;

struct BdfProperties {
    int pixel_size;  // the fonts' pixel size, written as PIXEL_SIZE and SIZE
    int ascent;
    int descent;
    char registry[bdf_name_capacity];  // written as CHARSET_REGISTRY and CHARSET_ENCODING
    char encoding[bdf_name_capacity];
};

// Keeps the letters, digits, '.', '-' and '_' of name, at most
// bdf_name_capacity - 1 of them, so a property value can end no line late
// nor break out of its quotes.
void copy_bdf_name(char (&target)[bdf_name_capacity], const char* name);

// The whole font. Every line is shorter than 99 characters.
std::string write_bdf(const GlyphTable& table, const BdfProperties& properties);
