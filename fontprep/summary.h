// What fontprep tells on standard error once the font is written: per font
// what was taken, fitted and dropped; then what each image made from the
// font will get, which --report prints alone on standard output.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fitting.h"
#include "font_coverage.h"
#include "merge.h"
#include "numbering.h"

struct FontSummary {
    const char* name;
    MergeCounts merged;
    bool fitted;  // its glyphs were fitted to the cell
    FitCounts fit;
    bool jis0213_plane2;
};

// "NAME: 12 glyphs taken, ..." for the first font, "NAME: 3 codes filled,
// ..." for a later one.
void report_font(const FontSummary& font, bool first, Numbering output);

// The codes of the table's glyphs with a dot between the descent and the
// ascent, which the converters draw, ascending.
std::vector<std::int32_t> drawn_codes(const GlyphTable& table, int ascent, int descent);

// What each image gets, a line each, every line after prefix: the kanji
// slots filled and the blank ones, the first-set cells filled, the
// second-set cells a font can fill that are filled and those that show the
// placeholder, the missing ones listed as romview lists them. A font that
// fills no kanji slot, and each JIS X 0213 plane 2 font, is told in one line.
void report_coverage(std::FILE* stream, const char* prefix, const ImageCoverage& coverage,
                     const std::vector<FontSummary>& fonts);
