// What romview prints about images, each line in characters: the summary
// of an image, the codes its font lacked, one glyph as text and the glyphs
// in which two images differ. Each goes to the stream given, standard
// output or, while a sheet goes there, standard error.
#pragma once
#include <cstdio>
#include <string>

#include "contact_sheet.h"
#include "rom_diff.h"
#include "rom_image.h"

// Glyph index as rows of '#' (a dot) and '.'.
void print_glyph_text(std::FILE* report, const RomImage& image, int index);

// The missing codes one a line: "0x4F<TAB>any font<TAB>Ω U+03A9 JIS 2638"
// for a character ROM's second-set code, "0x14E<TAB>左 U+5DE6 JIS 3A38" for
// a blank kanji slot.
void print_missing_codes(std::FILE* report, const RomImage& image);

// The kind and size of the image, its glyphs with dots and blank, its
// missing codes (those of a character ROM apart by whether any font could
// fill them), and where its sheet went and how large it is.
void print_summary(std::FILE* report, const RomImage& image, const char* image_name, const std::string& sheet_place,
                   const Sheet& sheet);

// "0x041<TAB>12 dots<TAB>Ａ U+FF21 JIS 2341" for each glyph that differs,
// named by the glyphs of layout; "0x150<TAB>3 dots" for a cell that holds
// nothing.
void print_differences(std::FILE* report, RomKind kind, RomLayout layout, const RomDifference& difference);
