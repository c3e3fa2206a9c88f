// romview: draws a ROM image written by glyphmill or cellforge as a PNG
// contact sheet and tells what it holds.
//
//   romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]
//
// The image's size tells its kind (8192 bytes: character ROM, 32768: kanji
// ROM). A plain run writes the sheet, to IMAGE.png unless -o names another
// file, and prints a summary. --list prints only the codes the font could
// not provide (second-set placeholders; for a kanji ROM the blank slots),
// one per line; --text prints one cell or glyph (decimal or 0x
// hex) as rows of '#' and '.'; either writes a sheet only when -o is given.
// Every failure prints one line on standard output and exits with status 1.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "contact_sheet.h"
#include "png_file.h"
#include "rom_image.h"

namespace {

const char* const usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]";
constexpr int codes_per_summary_line = 16;

struct Options {
    const char* image_name;
    const char* sheet_name;  // nullptr: the image's name with ".png" added
    const char* scale_text;  // nullptr: default_scale
    const char* cell_text;   // nullptr: no --text
    bool list;
};

RomImage image;

[[noreturn]] void fail(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::exit(EXIT_FAILURE);
}

// False on an unknown option, an option without its value, or not exactly
// one image name.
bool parse_command_line(int argc, char** argv, Options& options) {
    options = {nullptr, nullptr, nullptr, nullptr, false};
    for (int next = 1; next < argc; ++next) {
        const std::string_view argument = argv[next];
        const bool has_value = next + 1 < argc;
        if (argument == "--list") options.list = true;
        else if (argument == "-o" && has_value) options.sheet_name = argv[++next];
        else if (argument == "--scale" && has_value) options.scale_text = argv[++next];
        else if (argument == "--text" && has_value) options.cell_text = argv[++next];
        else if (argument.starts_with('-') || options.image_name != nullptr) return false;
        else options.image_name = argv[next];
    }
    return options.image_name != nullptr;
}

// A whole decimal or 0x-prefixed hexadecimal number within first..last.
bool parse_number(const char* text, int first, int last, int& value) {
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value, base);
    return error == std::errc() && stop == end && value >= first && value <= last;
}

void report_load_failure(const LoadResult& load, const char* name) {
    switch (load.status) {
    case LoadStatus::loaded: return;
    case LoadStatus::cannot_open: fail("cannot open " + std::string(name));
    case LoadStatus::wrong_size:
        fail(std::string(name) + " is not a ROM image: " + std::to_string(load.size) +
             " bytes, not 8192 (character ROM) or 32768 (kanji ROM)");
    }
}

void print_code(int code) {
    std::printf(image.kind == RomKind::kanji ? "0x%03X" : "0x%02X", code);
}

void print_glyph(int index) {
    const GlyphDots glyph = glyph_dots(image, index);
    const int width = rom_shape(image.kind).glyph_width;
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < width; ++x) std::putchar(dot_is_set(glyph, x, y) ? '#' : '.');
        std::putchar('\n');
    }
}

void print_missing_codes(const RomSummary& summary) {
    for (int i = 0; i < summary.missing_count; ++i) {
        print_code(summary.missing_codes[i]);
        std::putchar('\n');
    }
}

void print_summary(const RomSummary& summary, const char* image_name, const std::string& sheet_name,
                   const Sheet& sheet) {
    const bool kanji = image.kind == RomKind::kanji;
    const char* glyphs = kanji ? "glyphs" : "cells";
    const RomShape shape = rom_shape(image.kind);
    std::printf("%s: %s ROM, %d %s of %d x %d dots\n", image_name, kanji ? "kanji" : "character", shape.glyph_count,
                glyphs, shape.glyph_width, glyph_height);
    std::printf("%s with dots: %d, blank: %d\n", glyphs, summary.with_dots, summary.blank);
    std::printf(kanji ? "blank glyph slots: %d\n"
                      : "second-set codes showing the placeholder (the font could not provide them): %d\n",
                summary.missing_count);
    for (int i = 0; i < summary.missing_count; ++i) {
        std::printf(i % codes_per_summary_line == 0 ? "  " : " ");
        print_code(summary.missing_codes[i]);
        if (i % codes_per_summary_line == codes_per_summary_line - 1 || i == summary.missing_count - 1) {
            std::putchar('\n');
        }
    }
    std::printf("sheet: %s, %d x %d pixels\n", sheet_name.c_str(), sheet.width, sheet.height);
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line; the cell of --text is checked once the kind is known.
    Options options;
    if (!parse_command_line(argc, argv, options)) fail(usage);
    int scale = default_scale;
    if (options.scale_text != nullptr && !parse_number(options.scale_text, min_scale, max_scale, scale)) {
        fail("bad scale " + std::string(options.scale_text) + ": give " + std::to_string(min_scale) + " to " +
             std::to_string(max_scale));
    }

    // 2. Read the image; its size tells its kind.
    report_load_failure(load_rom_image(options.image_name, image), options.image_name);
    const int glyph_count = rom_shape(image.kind).glyph_count;
    int cell = 0;
    if (options.cell_text != nullptr && !parse_number(options.cell_text, 0, glyph_count - 1, cell)) {
        fail("bad cell " + std::string(options.cell_text) + ": give 0 to " + std::to_string(glyph_count - 1));
    }

    // 3. Write the sheet before printing anything, so that a failed write
    //    prints its one line alone.
    const bool query = options.list || options.cell_text != nullptr;
    const std::string sheet_name =
        options.sheet_name != nullptr ? options.sheet_name : std::string(options.image_name) + ".png";
    Sheet sheet{};
    if (!query || options.sheet_name != nullptr) {
        sheet = draw_sheet(image, scale);
        if (!write_png_file(sheet_name.c_str(), sheet)) fail("cannot write " + sheet_name);
    }

    // 4. Tell what the image holds.
    const RomSummary summary = summarize_rom(image);
    if (options.cell_text != nullptr) print_glyph(cell);
    if (options.list) print_missing_codes(summary);
    if (!query) print_summary(summary, options.image_name, sheet_name, sheet);
    return EXIT_SUCCESS;
}
