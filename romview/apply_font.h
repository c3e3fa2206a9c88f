// Putting an edited font back into an image, dot for dot: each glyph goes
// into the glyph of the image that the exported font numbers by its code
// (bdf_encoding), placed by its box against that glyph's box as the export
// writes it (bdf_glyph_box), with no scaling. A glyph replaces the rows a
// font glyph fills; the rows below them (the mosaic's last rows in
// CGROM60.66) stay as they are. Every glyph is checked before any is put
// in, so a refused font leaves the image as it was.
#pragma once
#include <cstdint>
#include <string>

#include "bdf_export.h"
#include "font_source.h"
#include "rom_image.h"

enum class ApplyError {
    none,
    outline_font,    // no dots to put in: the font is drawn from outlines
    without_code,    // a glyph with no encoding names no glyph of the image
    names_no_glyph,  // the glyph's code is none the exported font uses
    does_not_fit,    // the glyph's box reaches outside the image glyph's box
};

struct ApplyResult {
    ApplyError error;
    std::int64_t code;     // the refused glyph's
    GlyphBox box;          // its box, for does_not_fit
    int applied;           // glyphs put in
    int changed;           // image glyphs whose dots changed
};

// unencoded: the font's glyphs with a negative ENCODING, which FreeType
// leaves out of the font it reads.
ApplyResult apply_font(const SourceFont& font, int unencoded, RomImage& image);

// Why the glyphs of the font named font_name cannot go into an image of
// kind, in one line.
std::string apply_refusal(const char* font_name, const ApplyResult& result, RomKind kind);

// The glyphs of a BDF font named name whose ENCODING is negative; 0 for a
// font that is not BDF text or cannot be read again (standard input).
int count_unencoded_glyphs(const char* name);
