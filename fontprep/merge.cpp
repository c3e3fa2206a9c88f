// First font wins: a code once filled keeps its glyph.
#include "merge.h"

#include <vector>

namespace {

using FontCopies = std::vector<std::shared_ptr<const GlyphBitmap>>;

// The table's copy of one of the font's glyph images, made when first taken.
std::shared_ptr<const GlyphBitmap> copy_of(const SourceFont& font, int bitmap, FontCopies& copies) {
    std::shared_ptr<const GlyphBitmap>& copy = copies[static_cast<std::size_t>(bitmap)];
    if (copy == nullptr) copy = std::make_shared<const GlyphBitmap>(font.bitmaps[static_cast<std::size_t>(bitmap)]);
    return copy;
}

// One sweep over the font's glyphs, taking those whose code the JIS X 0208
// mapping names (primary) or those that reach it as a variant.
void take_glyphs(GlyphTable& table, const SourceFont& font, SourceNumbering numbering, Numbering output,
                 bool primary, FontCopies& copies, MergeCounts& counts) {
    for (const CodedGlyph& glyph : font.glyphs) {
        const OutputCode code = output_code(numbering, glyph.code, output);
        if (code.code < 0) {
            if (primary) ++counts.dropped;
            continue;
        }
        if (code.primary != primary) continue;
        if (glyph.bitmap >= 0 && table.count(code.code) == 0) {
            table.emplace(code.code, copy_of(font, glyph.bitmap, copies));
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
    FontCopies copies(font.bitmaps.size());
    take_glyphs(table, font, numbering, output, true, copies, counts);
    take_glyphs(table, font, numbering, output, false, copies, counts);
    if (aliases && output == Numbering::unicode) counts.aliases = add_aliases(table);
    return counts;
}

bool fills_missing_code(const GlyphTable& table, SourceNumbering numbering, std::int64_t code, Numbering output) {
    const std::int64_t written = output_code(numbering, code, output).code;
    return written >= 0 && table.count(written) == 0;
}
