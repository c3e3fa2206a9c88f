#include "romview_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

const std::string romview = ROMVIEW_PATH;

namespace {

const std::string samples = SAMPLES_DIR;

}  // namespace

void make_sample_images(const ScratchDir& dir) {
    const RunResult kanji = run_in(dir, std::string(GLYPHMILL_PATH) + " " + samples + "/shinonome-16-gothic.bdf");
    const RunResult cells = run_in(dir, std::string(CELLFORGE_PATH) + " " + samples + "/shinonome-12-gothic.bdf");
    ASSERT_EQ(kanji.status, 0) << kanji.output;
    ASSERT_EQ(cells.status, 0) << cells.output;
}

SplitRun run_romview(const ScratchDir& dir, const std::string& arguments) {
    const RunResult run = run_in(dir, "timeout 60 " + romview + arguments + " 2>stderr.txt");
    const Bytes err = read_file(dir.file("stderr.txt"));
    std::filesystem::remove(dir.file("stderr.txt"));
    return {run.status, run.output, std::string(err.begin(), err.end())};
}

bool is_kanji_rom(const Bytes& rom) {
    return rom.size() == kanji_rom_size;
}

int glyph_count(const Bytes& rom) {
    return is_kanji_rom(rom) ? kanji_slot_count : character_cell_count;
}

std::string rom_picture(const Bytes& rom, int index) {
    if (!is_kanji_rom(rom)) return draw_byte_cell(&rom[index * cell_bytes], cell_bytes);
    std::uint16_t rows[kanji_glyph_size];
    for (int r = 0; r < kanji_glyph_size; ++r) {
        const std::size_t left = index * kanji_glyph_size + r;
        rows[r] = static_cast<std::uint16_t>(rom[left] << 8 | rom[kanji_plane_size + left]);
    }
    return draw_rows(rows, kanji_glyph_size, kanji_glyph_size);
}

bool shows_placeholder(const Bytes& rom, int index) {
    return !is_kanji_rom(rom) && index >= second_set_first_cell &&
           std::equal(placeholder_rows, placeholder_rows + cell_bytes, &rom[index * cell_bytes]);
}

bool is_blank(const Bytes& rom, int index) {
    return rom_picture(rom, index).find('#') == std::string::npos;
}

std::string rom_with_placeholders(const std::vector<int>& codes) {
    std::string rom(character_rom_size, '\0');
    for (int code : codes) {
        std::copy(placeholder_rows, placeholder_rows + cell_bytes,
                  rom.begin() + (second_set_first_cell + code) * cell_bytes);
    }
    return rom;
}

std::string changed(std::string rom, int cell, int row, char byte) {
    rom[cell * cell_bytes + row] = byte;
    return rom;
}

std::string random_rom(std::size_t size, unsigned seed) {
    std::string rom(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (size == kanji_rom_size || i % cell_bytes < cell_glyph_rows) rom[i] = static_cast<char>(seed >> 16);
    }
    return rom;
}

std::string listed_codes(const std::string& list) {
    std::string codes;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find('\n', start);
        const std::string line = list.substr(start, end - start);
        codes += line.substr(0, line.find('\t')) + "\n";
        start = end == std::string::npos ? list.size() : end + 1;
    }
    return codes;
}

std::string expected_list(const Bytes& rom) {
    std::string list;
    char line[16];
    for (int index = 0; index < glyph_count(rom); ++index) {
        const bool listed = is_kanji_rom(rom) ? is_blank(rom, index) : shows_placeholder(rom, index);
        if (!listed) continue;
        if (is_kanji_rom(rom)) std::snprintf(line, sizeof line, "0x%03X\n", index);
        else std::snprintf(line, sizeof line, "0x%02X\n", index - second_set_first_cell);
        list += line;
    }
    return list;
}

Png read_png(const std::string& path) {
    Png png;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &channels, 3);
    if (data == nullptr) return {};
    png.rgb.assign(data, data + static_cast<std::size_t>(png.width) * png.height * 3);
    stbi_image_free(data);
    return png;
}

bool pixel_is(const Png& png, int x, int y, Colour colour) {
    const std::uint8_t* pixel = &png.rgb[(static_cast<std::size_t>(y) * png.width + x) * 3];
    return pixel[0] == colour.red && pixel[1] == colour.green && pixel[2] == colour.blue;
}

bool square_is(const Png& png, Pixel corner, int size, Colour colour) {
    for (int y = corner.y; y < corner.y + size; ++y) {
        for (int x = corner.x; x < corner.x + size; ++x) {
            if (!pixel_is(png, x, y, colour)) return false;
        }
    }
    return true;
}

std::string sheet_picture(const Png& png, const SheetLayout& layout, int index, Colour paper) {
    std::string picture;
    for (int y = 0; y < cell_bytes; ++y) {
        for (int x = 0; x < layout.glyph_width; ++x) {
            const Pixel corner = dot_pixel(layout, index, x, y);
            picture += square_is(png, corner, layout.scale, dot_colour) ? '#'
                       : square_is(png, corner, layout.scale, paper) ? '.'
                                                                      : '?';
        }
        picture += '\n';
    }
    return picture;
}
