// romview: draws a ROM image written by glyphmill or cellforge as a PNG
// contact sheet and tells what it holds, compares two images, exports one
// as a BDF font, or puts an edited font back into one.
//
//   romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]
//   romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]
//   romview --bdf IMAGE [-o FILE.bdf]
//   romview --apply EDITS.bdf IMAGE [-o FILE]
//
// The image's size tells its kind (rom_image.h). A plain run writes the
// sheet, to IMAGE.png unless -o names another file, and prints a summary:
// for a character ROM the second-set codes that show the placeholder, each
// with the character the tables want there and the fonts that could fill
// it; for a kanji ROM the blank slots and their kanji. A character ROM with
// dots below the glyph rows of a second-set cell is taken for CGROM60.66,
// whose second half holds the block mosaic and then nothing, so no
// second-set character is named there. --list
// prints only those codes, one a line; --text prints one cell or glyph
// (decimal or 0x hex) as rows of '#' and '.'; either writes a sheet only
// when -o is given. --diff lists the glyphs in which two images differ
// and exits like cmp: 0 equal, 1 different, 2 trouble. --bdf prints the
// image as a BDF font, or writes it to the file -o names. --apply puts each
// glyph of a font (as --bdf numbers and places them) into the image dot for
// dot and writes the image back, or to the file -o names.
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

#include "apply_font.h"
#include "bdf_export.h"
#include "contact_sheet.h"
#include "font_source.h"
#include "output_file.h"
#include "platform.h"
#include "png_file.h"
#include "program.h"
#include "report.h"
#include "rom_diff.h"
#include "rom_image.h"

namespace {

const char* const sheet_usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]";
const char* const diff_usage = "usage: romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]";
const char* const bdf_usage = "usage: romview --bdf IMAGE [-o FILE.bdf]";
const char* const apply_usage = "usage: romview --apply EDITS.bdf IMAGE [-o FILE]";
const char* const help_text =
    "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]\n"
    "       romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]\n"
    "       romview --bdf IMAGE [-o FILE.bdf]\n"
    "       romview --apply EDITS.bdf IMAGE [-o FILE]\n"
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
    "  --apply FONT put each glyph of FONT, numbered and placed as --bdf writes\n"
    "               them, into the image dot for dot; write the image back, or\n"
    "               to the file -o names\n"
    "  --help       print this help\n"
    "  --version    print the version\n";

enum class Mode { sheet, diff, bdf, apply };

struct Options {
    Mode mode;
    const char* image_names[2];
    int image_count;
    const char* output_name;  // nullptr: none given
    const char* scale_text;   // nullptr: default_scale
    const char* cell_text;    // nullptr: no --text
    const char* edits_name;   // the font of --apply
    bool list;
    bool help;
    bool version;
};

RomImage images[2];
int failure_status = EXIT_FAILURE;
std::FILE* report = stdout;  // standard error while the sheet goes to standard output

// Names the standard output in -o.
const std::string standard_output_name = "-";

// Exits like cmp with --diff: 2 on trouble, as 1 means the images differ.
int failure_status_of(Mode mode) {
    return mode == Mode::diff ? 2 : EXIT_FAILURE;
}

// The usage lines stand alone, without the program's name before them.
[[noreturn]] void fail_usage(Mode mode) {
    const char* const usages[] = {sheet_usage, diff_usage, bdf_usage, apply_usage};
    const char* usage = usages[static_cast<int>(mode)];
    std::fprintf(stderr, "%s\n", usage);
    std::exit(failure_status);
}

bool is_query(const Options& options) {
    return options.list || options.cell_text != nullptr;
}

// False on an unknown option, an option without its value, a wrong number
// of image names, or options that do not go together.
bool parse_command_line(int argc, char** argv, Options& options) {
    options = {Mode::sheet, {nullptr, nullptr}, 0, nullptr, nullptr, nullptr, nullptr, false, false, false};
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
        else if (argument == "--apply" && has_value) options.edits_name = argv[++next];
        else if (argument.starts_with('-') || options.image_count == 2) known = false;
        else options.image_names[options.image_count++] = argv[next];
    }
    if (bdf && options.mode != Mode::diff) options.mode = Mode::bdf;
    const bool apply = options.edits_name != nullptr;
    if (apply && options.mode == Mode::sheet) options.mode = Mode::apply;
    if (!known || (bdf && options.mode == Mode::diff) || (apply && options.mode != Mode::apply)) return false;
    const bool query = is_query(options);
    switch (options.mode) {
    case Mode::sheet: return options.image_count == 1;
    case Mode::diff: return options.image_count == 2 && !query;
    case Mode::bdf:
    case Mode::apply: return options.image_count == 1 && !query && options.scale_text == nullptr;
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

// Reports are worth nothing if they did not all arrive. When they went to
// standard error and failed there, no message can tell it; the status does.
void check_standard_output() {
    const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (std::fclose(stdout) != 0 || !written) fail("cannot write standard output");
    if (report == stderr && std::ferror(stderr) != 0) std::exit(failure_status);
}

int answer_help_or_version(const Options& options) {
    std::fputs(options.help ? help_text : "romview " TOOLKIT_VERSION "\n", stdout);
    check_standard_output();
    return EXIT_SUCCESS;
}

int scale_of(const Options& options) {
    int scale = default_scale;
    if (options.scale_text != nullptr && !parse_number(options.scale_text, min_scale, max_scale, scale)) {
        fail("bad scale " + std::string(options.scale_text) + ": give " + std::to_string(min_scale) + " to " +
             std::to_string(max_scale));
    }
    return scale;
}

// " bytes, not 8192 (character ROM) or 32768 (kanji ROM)"
std::string image_sizes_text() {
    std::string text = " bytes, not";
    const char* separator = " ";
    for (const RomKindFacts& facts : rom_kinds) {
        text += separator + std::to_string(facts.size) + " (" + facts.name + ")";
        separator = " or ";
    }
    return text;
}

void load_image(const char* name, RomImage& image) {
    const LoadResult load = load_rom_image(name, image);
    const std::string not_rom = std::string(name) + " is not a ROM image: ";
    switch (load.status) {
    case LoadStatus::loaded: return;
    case LoadStatus::cannot_open: fail("cannot open " + std::string(name));
    case LoadStatus::wrong_size: fail(not_rom + std::to_string(load.size) + image_sizes_text());
    case LoadStatus::too_large: fail(not_rom + "more than " + std::to_string(largest_rom_size) + image_sizes_text());
    }
}

// The images in their order; two to compare must be of one kind.
void load_images(const Options& options) {
    for (int i = 0; i < options.image_count; ++i) load_image(options.image_names[i], images[i]);
    if (options.mode != Mode::diff || images[1].kind == images[0].kind) return;
    const std::string first = std::string(options.image_names[0]) + " is a " + kind_facts(images[0].kind).name;
    fail(first + ", " + options.image_names[1] + " a " + kind_facts(images[1].kind).name +
         "; only images of one kind compare");
}

// The glyph of --text, within the image's glyphs.
int cell_of(const Options& options, const RomImage& image) {
    const int last = kind_facts(image.kind).glyph_count - 1;
    int cell = 0;
    if (options.cell_text != nullptr && !parse_number(options.cell_text, 0, last, cell)) {
        fail("bad cell " + std::string(options.cell_text) + ": give 0 to " + std::to_string(last));
    }
    return cell;
}

// The file a run writes, if any: standard_output_name for a sheet to
// standard output; a font to standard output is no file.
std::string output_name(const Options& options) {
    const bool to_standard_output = options.output_name != nullptr && options.output_name == standard_output_name;
    if (to_standard_output && options.mode == Mode::bdf) return "";
    if (options.output_name != nullptr) return options.output_name;
    if (options.mode == Mode::sheet && !is_query(options)) return std::string(options.image_names[0]) + ".png";
    if (options.mode == Mode::apply) return options.image_names[0];
    return "";
}

// Only --apply writes an image, and the font it applies stays.
void refuse_writing_over_an_image(const Options& options, const std::string& output) {
    if (output.empty() || output == standard_output_name) return;
    if (options.mode == Mode::apply) {
        if (is_same_file(options.edits_name, output.c_str())) {
            fail(output + " is the font " + options.edits_name + " itself; give -o another name");
        }
        return;
    }
    for (int i = 0; i < options.image_count; ++i) {
        if (is_same_file(options.image_names[i], output.c_str())) {
            fail(output + " is the image " + options.image_names[i] + " itself; give -o another name");
        }
    }
}

// The output's name, never one of the images.
std::string checked_output_name(const Options& options) {
    if (options.output_name != nullptr && options.output_name[0] == '\0') fail("cannot write a file without a name");
    const std::string output = output_name(options);
    refuse_writing_over_an_image(options, output);
    return output;
}

// The whole file or nothing: an earlier file of that name stays on failure.
// Standard output takes the bytes at once, so that a failure is told before
// any report.
void write_output(const std::string& name, const void* bytes, std::size_t size) {
    if (name == standard_output_name) {
        use_binary_standard_output();
        write_standard_output_or_fail(bytes, size);
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

// The sheet of the image, written where output names; none without a name.
Sheet write_image_sheet(const RomImage& image, const std::string& output, int scale) {
    if (output.empty()) return {};
    const Sheet sheet = draw_sheet(image, scale);
    write_sheet(output, sheet);
    return sheet;
}

// The difference sheet where output names, then the differing glyphs;
// true when there are any.
bool compare_images(const RomImage& first, const RomImage& second, const std::string& output, int scale) {
    if (!output.empty()) write_sheet(output, draw_difference_sheet(first, second, scale));
    const RomDifference difference = compare_roms(first, second);
    print_differences(report, first.kind, compared_layout(first, second), difference);
    return difference.count > 0;
}

// The font to the file output names, or else to standard output.
void export_font(const RomImage& image, const std::string& output) {
    const std::string font = export_bdf(image);
    if (output.empty()) std::fwrite(font.data(), 1, font.size(), stdout);
    else write_output(output, font.data(), font.size());
}

// Where the output goes, as a report names it.
std::string output_place(const std::string& output) {
    return output == standard_output_name ? "standard output" : output;
}

// Puts the font's glyphs into the image and writes it where output names.
void apply_edits(const char* font_name, RomImage& image, const std::string& output) {
    static SourceFont font;
    const FontRequest request = {0, 0, 0, max_bitmap_bytes, nullptr, nullptr};
    const SourceResult read = read_font_file(font_name, request, font);
    if (read.error != SourceError::none) fail(source_error_message(font_name, read, font));
    const ApplyResult result = apply_font(font, count_unencoded_glyphs(font_name), image);
    if (result.error != ApplyError::none) fail(apply_refusal(font_name, result, image.kind));
    write_output(output, image.bytes, kind_facts(image.kind).size);
    const RomKindFacts& facts = kind_facts(image.kind);
    std::fprintf(report, "%s: glyphs put in from %s: %d, %s changed: %d\n", output_place(output).c_str(), font_name,
                 result.applied, facts.glyph_word, result.changed);
}

}  // namespace

int main(int argc, char** argv) {
    // 1. The command line; --help and --version answer alone.
    start_companion("romview");
    Options options;
    const bool parsed = parse_command_line(argc, argv, options);
    failure_status = failure_status_of(options.mode);
    set_failure_status(failure_status);
    if (options.help || options.version) return answer_help_or_version(options);
    if (!parsed) fail_usage(options.mode);
    const int scale = scale_of(options);

    // 2. Read the images; a file's size tells its kind, and the kind which
    //    cells --text may ask for.
    load_images(options);
    const RomImage& image = images[0];
    const int cell = cell_of(options, image);

    // 3. The output file, never one of the images; when the sheet goes to
    //    standard output, the reports go to standard error.
    const std::string output = checked_output_name(options);
    if (output == standard_output_name) report = stderr;

    // 4. Run the mode. Each writes its file before it prints anything, so
    //    that a failed write prints its one line alone.
    bool differ = false;
    if (options.mode == Mode::bdf) export_font(image, output);
    if (options.mode == Mode::apply) apply_edits(options.edits_name, images[0], output);
    if (options.mode == Mode::diff) differ = compare_images(image, images[1], output, scale);
    if (options.mode == Mode::sheet) {
        const Sheet sheet = write_image_sheet(image, output, scale);
        if (options.cell_text != nullptr) print_glyph_text(report, image, cell);
        if (options.list) print_missing_codes(report, image);
        if (!is_query(options)) print_summary(report, image, options.image_names[0], output_place(output), sheet);
    }

    // 5. Everything printed must have reached standard output.
    check_standard_output();
    return differ ? 1 : EXIT_SUCCESS;
}
