#include "glyph_wants.h"

#include <cstdio>

#include "code_tables.h"
#include "jis_unicode_map.h"
#include "kanji_table.h"

namespace {

CodePair map_pair(const std::int32_t (&code)[2][bank_cell_count], int cell) {
    return {code[JIS][cell], code[UNICODE][cell]};
}

const CompositeEntry* composite_for(int second_set_code) {
    for (const CompositeEntry& entry : composite_table) {
        if (entry.target == second_set_code) return &entry;
    }
    return nullptr;
}

bool names_glyph(const CodePair& pair, CharsetKind kind) {
    return code_in(pair, kind) != 0;
}

// Whether a font numbered by kind finds a glyph for this code in the tables.
bool fillable_in(const GlyphWant& want, CharsetKind kind) {
    if (names_glyph(want.direct, kind)) return true;
    return want.composite && names_glyph(want.first_component, kind) && names_glyph(want.second_component, kind);
}

std::string hex(const char* format, std::int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(code));
    return text;
}

// The character a JIS code stands for, and whether only JIS X 0213 has it.
struct JisCharacter {
    std::int32_t unicode;  // 0 when neither standard has the code
    bool jis_x_0213_only;
};

JisCharacter jis_character(std::int32_t jis) {
    const std::int32_t in_0208 = plane_unicode(jis0208_unicode, jis);
    if (in_0208 != 0) return {in_0208, false};
    const std::int32_t in_0213 = plane_unicode(jis0213_plane1_unicode, jis);
    return {in_0213, in_0213 != 0};
}

// Whether the pair names two characters: the JIS code's own is another
// than the Unicode column's, and not its variant (minus U+2212 / U+FF0D,
// overline U+203E / U+FFE3, ...), which fonts give the same JIS code.
bool names_two_characters(const CodePair& pair, const JisCharacter& own) {
    if (pair.unicode == 0 || own.unicode == 0 || own.unicode == pair.unicode) return false;
    const UnicodeJis* variant = find_unicode_jis(pair.unicode);
    return variant == nullptr || variant->jis != pair.jis;
}

// "JIS 2638", "JIS 2325 (JIS X 0213)"; with the code's own character where
// the pair names two, "JIS 2A79 ɡ (JIS X 0213)".
std::string describe_jis(const CodePair& pair, const JisCharacter& own) {
    std::string text = hex("JIS %04X", pair.jis);
    if (names_two_characters(pair, own)) text += " " + utf8(own.unicode);
    if (own.jis_x_0213_only) text += " (JIS X 0213)";
    return text;
}

std::string describe_pair(const CodePair& pair) {
    const JisCharacter own = jis_character(pair.jis);
    const std::string unicode = utf8(pair.unicode) + hex(" U+%04X", pair.unicode);
    if (pair.unicode != 0 && pair.jis != 0) {
        return unicode + (names_two_characters(pair, own) ? ", " : " ") + describe_jis(pair, own);
    }
    if (pair.unicode != 0) return unicode + ", no JIS code";
    if (pair.jis != 0) return describe_jis(pair, own) + ", no Unicode code point";
    return "";
}

}  // namespace

std::int32_t code_in(const CodePair& pair, CharsetKind kind) {
    return kind == JIS ? pair.jis : pair.unicode;
}

GlyphWant glyph_want(RomLayout layout, int index) {
    GlyphWant want{};
    if (layout == RomLayout::kanji) {
        want.direct = {kanji_code_map.code[JIS][index], kanji_code_map.code[UNICODE][index]};
        return want;
    }
    if (index < second_set_first_cell) {
        want.direct = map_pair(set1_code_map.code, index);
        return want;
    }
    if (layout == RomLayout::first_set_and_mosaic) {
        const bool mosaic = index < second_set_first_cell + mosaic_cell_count;
        want.use = mosaic ? GlyphUse::block_mosaic : GlyphUse::nothing;
        return want;
    }
    const int code = index - second_set_first_cell;
    want.direct = map_pair(set2_code_map.code, code);
    const CompositeEntry* entry = composite_for(code);
    if (entry != nullptr) {
        want.composite = true;
        want.first_component = {entry->first_jis, entry->first_unicode};
        want.second_component = {entry->second_jis, entry->second_unicode};
    }
    return want;
}

Fillable fillable(const GlyphWant& want) {
    const bool jis = fillable_in(want, JIS);
    const bool unicode = fillable_in(want, UNICODE);
    if (jis && unicode) return Fillable::by_any_font;
    if (jis) return Fillable::by_jis_font;
    if (unicode) return Fillable::by_unicode_font;
    return Fillable::by_no_font;
}

const char* fillable_text(Fillable fill) {
    switch (fill) {
    case Fillable::by_any_font: return "any font";
    case Fillable::by_jis_font: return "JIS font";
    case Fillable::by_unicode_font: return "Unicode font";
    case Fillable::by_no_font: break;
    }
    return "no font";
}

std::string describe_want(const GlyphWant& want) {
    if (want.use == GlyphUse::block_mosaic) return "block mosaic";
    if (want.use == GlyphUse::nothing) return "";
    std::string text = describe_pair(want.direct);
    if (want.composite) {
        if (!text.empty()) text += "; ";
        text += "composite of " + describe_pair(want.first_component) + " and " +
                describe_pair(want.second_component);
    }
    return text.empty() ? "no glyph in the tables" : text;
}

std::string missing_code_line(RomLayout layout, int code) {
    const bool kanji = layout == RomLayout::kanji;
    const int last_code = kanji ? kanji_slot_count - 1 : bank_cell_count - 1;
    int digits = 1;
    while (last_code >> (4 * digits) != 0) ++digits;
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X\t", digits, static_cast<unsigned>(code));
    const GlyphWant want = glyph_want(layout, kanji ? code : second_set_first_cell + code);
    return text + (kanji ? "" : std::string(fillable_text(fillable(want))) + "\t") + describe_want(want);
}

std::string utf8(std::int32_t code_point) {
    const auto c = static_cast<std::uint32_t>(code_point);
    const auto byte = [](std::uint32_t value) { return static_cast<char>(value); };
    if (c < 0x80) return std::string(1, byte(c));
    if (c < 0x800) return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
    if (c >= 0xD800 && c <= 0xDFFF) return "";
    if (c < 0x10000) return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
    if (c <= 0x10FFFF) {
        return {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)),
                byte(0x80 | (c & 0x3F))};
    }
    return "";
}
