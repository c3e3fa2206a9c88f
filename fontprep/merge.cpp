// First font wins: a code once filled keeps its glyph.
#include "merge.h"

namespace {

// One sweep over the font's glyphs, taking those whose code the JIS X 0208
// mapping names (primary) or those that reach it as a variant.
void take_glyphs(GlyphTable& table, const SourceFont& font, SourceNumbering numbering,
                 Numbering output, bool primary, MergeCounts& counts) {
    for (const CodedGlyph& glyph : font.glyphs) {
        const OutputCode code = output_code(numbering, glyph.code, output);
        if (code.code < 0) {
            if (primary) ++counts.dropped;
            continue;
        }
        if (code.primary != primary) continue;
        if (table.emplace(code.code, &font.bitmaps[static_cast<std::size_t>(glyph.bitmap)]).second) {
            ++counts.taken;
        } else {
            ++counts.present;
        }
    }
}

int add_aliases(GlyphTable& table) {
    int added = 0;
    for (int index = 0; index < variant_pair_count; ++index) {
        const VariantPair& pair = variant_pairs[index];
        const auto first = table.find(pair.first);
        const auto second = table.find(pair.second);
        if (first != table.end() && second == table.end()) {
            table.emplace(pair.second, first->second);
            ++added;
        } else if (first == table.end() && second != table.end()) {
            table.emplace(pair.first, second->second);
            ++added;
        }
    }
    return added;
}

}  // namespace

MergeCounts merge_font(GlyphTable& table, const SourceFont& font, SourceNumbering numbering,
                       Numbering output, bool aliases) {
    MergeCounts counts = {0, 0, 0, 0};
    take_glyphs(table, font, numbering, output, true, counts);
    take_glyphs(table, font, numbering, output, false, counts);
    if (aliases && output == Numbering::unicode) counts.aliases = add_aliases(table);
    return counts;
}
