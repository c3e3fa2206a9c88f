#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fonttest.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

Bytes read_file(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) return {};
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string make_font(const std::string& registry, int ascent, int descent,
                      const std::vector<TestGlyph>& glyphs) {
    std::string font = "STARTFONT 2.1\nFONT test\nSTARTPROPERTIES 3\n";
    font += "FONT_ASCENT " + std::to_string(ascent) + "\n";
    font += "FONT_DESCENT " + std::to_string(descent) + "\n";
    font += "CHARSET_REGISTRY \"" + registry + "\"\nENDPROPERTIES\n";
    font += "CHARS " + std::to_string(glyphs.size()) + "\n";
    for (const TestGlyph& glyph : glyphs) {
        font += "STARTCHAR g" + std::to_string(glyph.encoding) + "\n";
        font += "ENCODING " + std::to_string(glyph.encoding) + "\n";
        font += "BBX " + glyph.bbx + "\nBITMAP\n";
        for (const std::string& row : glyph.rows) font += row + "\n";
        font += "ENDCHAR\n";
    }
    return font + "ENDFONT\n";
}

void open_text_stream(FontStream& stream, const ScratchDir& dir, const std::string& text) {
    const std::string path = dir.file("font.bdf");
    write_file(path, text);
    ASSERT_TRUE(open_font_stream(stream, path.c_str()));
}

RunResult run_in(const ScratchDir& dir, const std::string& command) {
    const std::string full = "cd '" + dir.path + "' && { " + command + " ; } 2>&1";
    RunResult result{-1, ""};
    std::FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr) return result;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, got);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

std::string draw_rows(const std::uint16_t* rows, int width, int height) {
    std::string picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture += (rows[y] >> (15 - x)) & 1 ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

std::string draw_byte_cell(const std::uint8_t* rows, int height) {
    std::string picture;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 8; ++x) picture += (rows[y] >> (7 - x)) & 1 ? '#' : '.';
        picture += '\n';
    }
    return picture;
}
