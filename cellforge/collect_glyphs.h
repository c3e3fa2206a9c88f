// One pass over a font that fills a bank of 256 character cells.
#pragma once

#include "cell_image.h"
#include "code_tables.h"
#include "font_header.h"
#include "encoding_set.h"
#include "font_stream.h"
#include "glyph_record.h"

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

// Every encoding the tables name, in either numbering: what the header scan
// records for the pass.
void add_wanted_encodings(const PassTables& tables, EncodingSet& wanted);

// Places every glyph that the bank wants, as one reading of the font from
// its start gives them, in font order: each ENCODING line serves every
// cell that names it, and a glyph is drawn once for each of them. The
// glyphs are those record holds, from the header scan that gave header
// with add_wanted_encodings of these tables; where it is full the lines are
// read on from there.
void collect_glyphs(FontStream& stream, const FontHeader& header, const GlyphRecord& record,
                    const PassTables& tables, CellBank bank);
