// romview: draws a ROM image written by glyphmill or cellforge as a PNG
// contact sheet and tells what it holds, compares two images, or exports
// one as a BDF font.
//
//   romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]
//   romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]
//   romview --bdf IMAGE [-o FILE.bdf]
//
// The image's size tells its kind (8192 bytes: character ROM, 32768: kanji
// ROM). A plain run writes the sheet, to IMAGE.png unless -o names another
// file, and prints a summary: for a character ROM the second-set codes that
// show the placeholder, each with the character the tables want there and
// the fonts that could fill it; for a kanji ROM the blank slots and their
// kanji. A character ROM with dots in rows 10..15 of a cell 256..511 is
// taken for CGROM60.66, whose cells 256..319 hold the block mosaic and
// 320..511 nothing, so no second-set character is named there. --list
// prints only those codes, one a line; --text prints one cell or glyph
// (decimal or 0x hex) as rows of '#' and '.'; either writes a sheet only
// when -o is given. --diff lists the glyphs in which two images differ
// and exits like cmp: 0 equal, 1 different, 2 trouble. --bdf prints the
// image as a BDF font, or writes it to the file -o names.
//
// Reports go to standard output, but to standard error when -o - sends the
// sheet there, so that they never mix into the PNG (-o - with --bdf is the
// same as no -o). Every failure prints one line on standard error and exits
// with status 1 (2 with --diff). Files are written whole or not at all, and
// never over the image they come from.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bdf_export.h"
#include "code_report.h"
#include "contact_sheet.h"
#include "output_file.h"
#include "platform.h"
#include "png_file.h"
#include "rom_diff.h"
#include "rom_image.h"

namespace {

const char* const sheet_usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]";
const char* const diff_usage = "usage: romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]";
const char* const bdf_usage = "usage: romview --bdf IMAGE [-o FILE.bdf]";
const char* const help_text =
    "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]\n"
    "       romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]\n"
    "       romview --bdf IMAGE [-o FILE.bdf]\n"
    "       romview --help | --version\n"
    "Draws a ROM image written by glyphmill or cellforge as a PNG contact sheet\n"
    "(IMAGE.png unless -o names another file) and prints what it holds.\n"
    "  -o FILE      write the sheet, or the BDF font, to FILE; -o - writes it to\n"
    "               standard output, and a sheet's report then to standard error\n"
    "  --scale N    pixels a dot on the sheet, 1 to 8 (default 2)\n"
    "  --list       print only the codes showing the placeholder (blank kanji slots)\n"
    "  --text CELL  print one cell or glyph as rows of '#' and '.'\n"
    "  --diff       list the glyphs in which two images differ; exit 0 when equal,\n"
    "               1 when different, 2 on trouble\n"
    "  --bdf        print the image as a BDF font\n"
    "  --help       print this help\n"
    "  --version    print the version\n";

enum class Mode { sheet, diff, bdf };

struct Options {
    Mode mode;
    const char* image_names[2];
    int image_count;
    const char* output_name;  // nullptr: none given
    const char* scale_text;   // nullptr: default_scale
    const char* cell_text;    // nullptr: no --text
    bool list;
    bool help;
    bool version;
};

RomImage images[2];
int failure_status = EXIT_FAILURE;
std::FILE* report = stdout;  // standard error while the sheet goes to standard output

[[noreturn]] void fail(const std::string& line) {
    std::fprintf(stderr, "romview: %s\n", line.c_str());
    std::exit(failure_status);
}

[[noreturn]] void fail_usage(Mode mode) {
    const char* usage = mode == Mode::diff ? diff_usage : mode == Mode::bdf ? bdf_usage : sheet_usage;
    std::fprintf(stderr, "%s\n", usage);
    std::exit(failure_status);
}

// False on an unknown option, an option without its value, a wrong number
// of image names, or options that do not go together.
bool parse_command_line(int argc, char** argv, Options& options) {
    options = {Mode::sheet, {nullptr, nullptr}, 0, nullptr, nullptr, nullptr, false, false, false};
    bool known = true;
    bool bdf = false;
    for (int next = 1; next < argc; ++next) {
        const std::string_view argument = argv[next];
        const bool has_value = next + 1 < argc;
        if (argument == "--list") options.list = true;
        else if (argument == "--diff") options.mode = Mode::diff;
        else if (argument == "--bdf") bdf = true;
        else if (argument == "--help") options.help = true;
        else if (argument == "--version") options.version = true;
        else if (argument == "-o" && has_value) options.output_name = argv[++next];
        else if (argument == "--scale" && has_value) options.scale_text = argv[++next];
        else if (argument == "--text" && has_value) options.cell_text = argv[++next];
        else if (argument.starts_with('-') || options.image_count == 2) known = false;
        else options.image_names[options.image_count++] = argv[next];
    }
    if (bdf && options.mode != Mode::diff) options.mode = Mode::bdf;
    if (!known || (bdf && options.mode == Mode::diff)) return false;
    const bool query = options.list || options.cell_text != nullptr;
    switch (options.mode) {
    case Mode::sheet: return options.image_count == 1;
    case Mode::diff: return options.image_count == 2 && !query;
    case Mode::bdf: return options.image_count == 1 && !query && options.scale_text == nullptr;
    }
    return false;
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

void load_image(const char* name, RomImage& image) {
    const LoadResult load = load_rom_image(name, image);
    const std::string not_rom = std::string(name) + " is not a ROM image: ";
    const std::string sizes = " bytes, not 8192 (character ROM) or 32768 (kanji ROM)";
    switch (load.status) {
    case LoadStatus::loaded: return;
    case LoadStatus::cannot_open: fail("cannot open " + std::string(name));
    case LoadStatus::wrong_size: fail(not_rom + std::to_string(load.size) + sizes);
    case LoadStatus::too_large: fail(not_rom + "more than 32768" + sizes);
    }
}

const char* kind_name(RomKind kind) {
    return kind == RomKind::kanji ? "a kanji ROM" : "a character ROM";
}

// Names the standard output in -o.
const std::string standard_output_name = "-";

// The file a run writes, if any: standard_output_name for a sheet to
// standard output; a font to standard output is no file.
std::string output_name(const Options& options) {
    const bool to_standard_output = options.output_name != nullptr && options.output_name == standard_output_name;
    if (to_standard_output && options.mode == Mode::bdf) return "";
    if (options.output_name != nullptr) return options.output_name;
    const bool query = options.list || options.cell_text != nullptr;
    if (options.mode == Mode::sheet && !query) return std::string(options.image_names[0]) + ".png";
    return "";
}

void refuse_writing_over_an_image(const Options& options, const std::string& output) {
    if (output == standard_output_name) return;
    for (int i = 0; i < options.image_count; ++i) {
        if (is_same_file(options.image_names[i], output.c_str())) {
            fail(output + " is the image " + options.image_names[i] + " itself; give -o another name");
        }
    }
}

// The whole file or nothing: an earlier file of that name stays on failure.
// Standard output takes the bytes at once, so that a failure is told before
// any report.
void write_output(const std::string& name, const void* bytes, std::size_t size) {
    if (name == standard_output_name) {
        use_binary_standard_output();
        const bool written = std::fwrite(bytes, 1, size, stdout) == size && std::fflush(stdout) == 0;
        if (!written || std::ferror(stdout) != 0) fail("cannot write standard output");
        return;
    }
    OutputFile output;
    if (!create_output_file(output, name.c_str())) fail("cannot write " + name);
    write_output_bytes(output, bytes, size);
    if (finish_output_file(output) != OutputResult::written) fail("cannot write " + name);
}

void write_sheet(const std::string& name, const Sheet& sheet) {
    std::vector<std::uint8_t> png;
    if (!encode_png(sheet, png)) fail("cannot write " + name);
    write_output(name, png.data(), png.size());
}

std::string code_text(RomKind kind, int code) {
    char text[8];
    std::snprintf(text, sizeof text, kind == RomKind::kanji ? "0x%03X" : "0x%02X", code);
    return text;
}

int glyph_index(RomKind kind, int code) {
    return kind == RomKind::kanji ? code : code + second_set_first_cell;
}

// "0x4F<TAB>any font<TAB>Ω U+03A9 JIS 2638" for a character ROM's code,
// "0x14E<TAB>左 U+5DE6 JIS 3A38" for a kanji slot. Only a character ROM of
// two sets has codes to list.
std::string missing_code_line(RomKind kind, int code) {
    const RomLayout layout = kind == RomKind::kanji ? RomLayout::kanji : RomLayout::two_character_sets;
    const GlyphWant want = glyph_want(layout, glyph_index(kind, code));
    std::string line = code_text(kind, code) + "\t";
    if (kind == RomKind::character) line += std::string(fillable_text(fillable(want))) + "\t";
    return line + describe_want(want);
}

void print_glyph(const RomImage& image, int index) {
    const GlyphDots glyph = glyph_dots(image, index);
    const int width = rom_shape(image.kind).glyph_width;
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < width; ++x) std::fputc(dot_is_set(glyph, x, y) ? '#' : '.', report);
        std::fputc('\n', report);
    }
}

void print_missing_codes(const RomImage& image, const RomSummary& summary) {
    for (int i = 0; i < summary.missing_count; ++i) {
        std::fprintf(report, "%s\n", missing_code_line(image.kind, summary.missing_codes[i]).c_str());
    }
}

bool no_font_fills(int code) {
    const int index = glyph_index(RomKind::character, code);
    return fillable(glyph_want(RomLayout::two_character_sets, index)) == Fillable::by_no_font;
}

// The placeholder codes of one group: those some font could fill, or those
// no font can fill.
void print_placeholder_group(const RomSummary& summary, bool unfillable, const char* heading) {
    int count = 0;
    for (int i = 0; i < summary.missing_count; ++i) count += no_font_fills(summary.missing_codes[i]) == unfillable;
    std::fprintf(report, "  %s: %d\n", heading, count);
    for (int i = 0; i < summary.missing_count; ++i) {
        const int code = summary.missing_codes[i];
        if (no_font_fills(code) != unfillable) continue;
        std::fprintf(report, "    %s\n", missing_code_line(RomKind::character, code).c_str());
    }
}

void print_summary(const RomImage& image, const RomSummary& summary, const char* image_name,
                   const std::string& sheet_name, const Sheet& sheet) {
    const RomShape shape = rom_shape(image.kind);
    if (image.kind == RomKind::kanji) {
        std::fprintf(report, "%s: kanji ROM, %d glyphs of 16 x 16 dots\n", image_name, shape.glyph_count);
        std::fprintf(report, "glyphs with dots: %d, blank: %d\n", summary.with_dots, summary.blank);
        std::fprintf(report, "blank glyph slots: %d\n", summary.missing_count);
        for (int i = 0; i < summary.missing_count; ++i) {
            std::fprintf(report, "  %s\n", missing_code_line(image.kind, summary.missing_codes[i]).c_str());
        }
    } else {
        std::fprintf(report, "%s: character ROM, %d cells of 8 x %d dots (16 bytes a cell)\n", image_name,
                     shape.glyph_count, cell_glyph_rows);
        std::fprintf(report, "cells with dots: %d, blank: %d\n", summary.with_dots, summary.blank);
        std::fprintf(report, "second-set codes showing the placeholder: %d\n", summary.missing_count);
        print_placeholder_group(summary, false, "a font could fill them, this font lacked them");
        print_placeholder_group(summary, true, "no font can fill them, the tables name no glyph there");
    }
    const std::string sheet_place = sheet_name == standard_output_name ? "standard output" : sheet_name;
    std::fprintf(report, "sheet: %s, %d x %d pixels\n", sheet_place.c_str(), sheet.width, sheet.height);
}

// The layout by which two images' glyphs are named: the mosaic layout when
// either image has it, as no second-set character belongs there.
RomLayout compared_layout(const RomImage& first, const RomImage& second) {
    const RomLayout layout = rom_layout(first);
    return layout == RomLayout::two_character_sets ? rom_layout(second) : layout;
}

// "0x041<TAB>12 dots<TAB>Ａ U+FF21 JIS 2341" for each glyph that differs;
// "0x150<TAB>3 dots" for a cell that holds nothing.
void print_differences(RomLayout layout, const RomDifference& difference) {
    for (int i = 0; i < difference.count; ++i) {
        const GlyphDifference& glyph = difference.glyphs[i];
        const std::string want = describe_want(glyph_want(layout, glyph.index));
        std::fprintf(report, "0x%03X\t%d dot%s%s%s\n", glyph.index, glyph.dots, glyph.dots == 1 ? "" : "s",
                     want.empty() ? "" : "\t", want.c_str());
    }
}

// Reports are worth nothing if they did not all arrive. When they went to
// standard error and failed there, no message can tell it; the status does.
void check_standard_output() {
    const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (std::fclose(stdout) != 0 || !written) fail("cannot write standard output");
    if (report == stderr && std::ferror(stderr) != 0) std::exit(failure_status);
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line; --help and --version answer alone. The cell of
    //    --text is checked once the kind is known.
    open_missing_standard_streams();
    report_file_size_limit_as_write_error();
    report_closed_pipe_as_write_error();
    Options options;
    const bool parsed = parse_command_line(argc, argv, options);
    if (options.mode == Mode::diff) failure_status = 2;
    if (options.help || options.version) {
        std::fputs(options.help ? help_text : "romview " TOOLKIT_VERSION "\n", stdout);
        check_standard_output();
        return EXIT_SUCCESS;
    }
    if (!parsed) fail_usage(options.mode);
    int scale = default_scale;
    if (options.scale_text != nullptr && !parse_number(options.scale_text, min_scale, max_scale, scale)) {
        fail("bad scale " + std::string(options.scale_text) + ": give " + std::to_string(min_scale) + " to " +
             std::to_string(max_scale));
    }

    // 2. Read the images; a file's size tells its kind.
    for (int i = 0; i < options.image_count; ++i) load_image(options.image_names[i], images[i]);
    const RomImage& image = images[0];
    const int glyph_count = rom_shape(image.kind).glyph_count;
    int cell = 0;
    if (options.cell_text != nullptr && !parse_number(options.cell_text, 0, glyph_count - 1, cell)) {
        fail("bad cell " + std::string(options.cell_text) + ": give 0 to " + std::to_string(glyph_count - 1));
    }
    if (options.mode == Mode::diff && images[1].kind != image.kind) {
        fail(std::string(options.image_names[0]) + " is " + kind_name(image.kind) + ", " + options.image_names[1] +
             " " + kind_name(images[1].kind) + "; only images of one kind compare");
    }

    // 3. Write the output file before printing anything, so that a failed
    //    write prints its one line alone, and never over an image.
    if (options.output_name != nullptr && options.output_name[0] == '\0') fail("cannot write a file without a name");
    const std::string output = output_name(options);
    Sheet sheet{};
    std::string font;
    if (!output.empty()) refuse_writing_over_an_image(options, output);
    if (output == standard_output_name) report = stderr;
    if (options.mode == Mode::bdf) font = export_bdf(image);
    if (options.mode == Mode::bdf && !output.empty()) write_output(output, font.data(), font.size());
    if (options.mode != Mode::bdf && !output.empty()) {
        sheet = options.mode == Mode::diff ? draw_difference_sheet(image, images[1], scale) : draw_sheet(image, scale);
        write_sheet(output, sheet);
    }

    // 4. Tell what the images hold.
    const RomSummary summary = summarize_rom(image);
    static RomDifference difference{};
    if (options.mode == Mode::diff) difference = compare_roms(image, images[1]);
    const bool query = options.list || options.cell_text != nullptr;
    if (options.mode == Mode::bdf && output.empty()) std::fwrite(font.data(), 1, font.size(), stdout);
    if (options.mode == Mode::diff) print_differences(compared_layout(image, images[1]), difference);
    if (options.cell_text != nullptr) print_glyph(image, cell);
    if (options.list) print_missing_codes(image, summary);
    if (options.mode == Mode::sheet && !query) print_summary(image, summary, options.image_names[0], output, sheet);

    // 5. Everything printed must have reached standard output.
    check_standard_output();
    return options.mode == Mode::diff && difference.count > 0 ? 1 : EXIT_SUCCESS;
}
