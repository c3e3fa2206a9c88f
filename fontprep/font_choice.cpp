#include "font_choice.h"

std::string font_refusal(const char* name, const SourceFont& font, SourceNumbering numbering, int pixel_size,
                         bool size_asked) {
    if (numbering.kind == SourceKind::unknown && font.registry[0] == '\0') {
        return std::string(name) + ": no CHARSET_REGISTRY says how its glyphs are numbered";
    }
    if (numbering.kind == SourceKind::unknown) {
        return std::string(name) + ": glyphs numbered by an unknown character set \"" + font.registry + "-" +
               font.encoding + "\"";
    }
    if (font.pixel_size != pixel_size) {
        return std::string(name) + ": " + std::to_string(font.pixel_size) + " pixels, not " +
               std::to_string(pixel_size) + (size_asked ? " as -s asks" : " like the font written");
    }
    return "";
}

void choose_registry(const GlyphTable& table, const SourceFont& first, Numbering output, BdfProperties& properties) {
    if (output == Numbering::unicode) {
        copy_bdf_name(properties.registry, "ISO10646");
        copy_bdf_name(properties.encoding, "1");
        return;
    }
    bool beyond_jis0208 = false;
    for (const auto& entry : table) beyond_jis0208 = beyond_jis0208 || is_jis0213_only(entry.first);
    const SourceKind kind = classify_font(first.registry, first.encoding, first.unicode_cmap).kind;
    if (kind == SourceKind::jis0213_plane1 || (kind == SourceKind::jis0208 && !beyond_jis0208)) {
        copy_bdf_name(properties.registry, first.registry);
        copy_bdf_name(properties.encoding, first.encoding[0] != '\0' ? first.encoding : "0");
    } else if (beyond_jis0208) {
        copy_bdf_name(properties.registry, "JISX0213.2004");
        copy_bdf_name(properties.encoding, "1");
    } else {
        copy_bdf_name(properties.registry, "JISX0208.1990");
        copy_bdf_name(properties.encoding, "0");
    }
}
