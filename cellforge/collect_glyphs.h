// One pass over a font that fills a bank of 256 character cells.
#pragma once

#include "cell_image.h"
#include "code_tables.h"
#include "font_header.h"
#include "font_stream.h"

// What one pass places: the glyph of each code by code_map (or, in ASCII
// mode, the glyph whose encoding equals the code), the extra symbols for
// cells 0x80..0x83 where the map leaves them blank, and the two components
// of each composite cell. extras and composites may be null.
struct PassTables {
    const CodeMap* code_map;
    const std::int32_t (*extras)[extra_symbol_count];
    const CompositeEntry* composites;
    bool ascii_mode;
};

// The first set: set 1 with the extra symbols.
PassTables first_set_tables(bool ascii_mode);
// The second set: set 2 with the composite cells, never in ASCII mode.
PassTables second_set_tables();

// Places every glyph that the bank wants, reading the font from its current
// position (just after the header scan that gave header). After each use
// of a glyph the stream goes back to its ENCODING line, so one glyph serves
// every cell that names it.
void collect_glyphs(FontStream& stream, const FontHeader& header, const PassTables& tables, CellBank bank);
