#include "test_support.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

std::string full_font(const std::string& registry, const std::string& encoding, int ascent, int descent,
                      const std::vector<TestGlyph>& glyphs) {
    std::string font = make_font(registry, ascent, descent, glyphs);
    const std::string height = std::to_string(ascent + descent);
    font.insert(font.find("STARTPROPERTIES"), "SIZE " + height + " 75 75\nFONTBOUNDINGBOX 8 " + height + " 0 -" +
                                                  std::to_string(descent) + "\n");
    font.insert(font.find("ENDPROPERTIES"), "CHARSET_ENCODING \"" + encoding + "\"\n");
    for (std::size_t at = font.find("\nBBX"); at != std::string::npos; at = font.find("\nBBX", at + 30)) {
        font.insert(at, "\nSWIDTH 1000 0\nDWIDTH 8 0");
    }
    return font;
}

std::vector<std::string> reference_pieces(const std::string& raw, std::vector<std::int64_t>* starts) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < raw.size()) {
        if (starts != nullptr) starts->push_back(static_cast<std::int64_t>(i));
        std::string piece;
        while (i < raw.size() && piece.size() < 99) {
            if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
            piece += raw[i++];
            if (piece.back() == '\n') break;
        }
        pieces.push_back(piece.substr(0, piece.find('\0')));
    }
    return pieces;
}

void open_text_stream(FontStream& stream, const ScratchDir& dir, const std::string& text) {
    const std::string path = dir.file("font.bdf");
    write_file(path, text);
    ASSERT_TRUE(open_font_stream(stream, path.c_str()));
}

HeaderScan scan_header(FontStream& stream, bool accept_unknown_charset) {
    static const EncodingSet none{};
    static GlyphRecord record;
    return scan_font_header(stream, accept_unknown_charset, none, record);
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

RunResult run_into_closed_pipe(const ScratchDir& dir, const std::string& command) {
    int output[2];
    int errors[2];
    RunResult result{-1, ""};
    if (pipe(output) != 0) return result;
    if (pipe(errors) != 0) return result;
    close(output[0]);
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 1);
        dup2(errors[1], 2);
        close(errors[0]);
        // The child starts with the default action for a pipe without a
        // reader, as from a shell.
        std::signal(SIGPIPE, SIG_DFL);
        execl("/bin/sh", "sh", "-c", ("cd '" + dir.path + "' && " + command).c_str(), nullptr);
        _exit(127);
    }
    close(output[1]);
    close(errors[1]);
    char chunk[4096];
    ssize_t got;
    while ((got = read(errors[0], chunk, sizeof chunk)) > 0) result.output.append(chunk, static_cast<std::size_t>(got));
    close(errors[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) result.status = WEXITSTATUS(status);
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

SmallDisk::SmallDisk(const std::string& at, const char* size) : path(at) {
    std::filesystem::create_directory(path);
    mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, ("size=" + std::string(size)).c_str()) == 0;
    error = mounted ? 0 : errno;
}

SmallDisk::~SmallDisk() {
    if (mounted) umount(path.c_str());
}
