// romview's PNG sheets: decoded and compared dot by dot with the image
// bytes, and written whole or not at all.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "romview_support.h"

namespace {

struct SheetCase {
    const char* image;
    RomKind kind;
    int scale;
};

// Every dot of every glyph shows at its place on the sheet as a square of
// scale x scale pixels, with a grid line left of and above each cell.
TEST(Romview, SheetShowsEveryDotOfTheImage) {
    ScratchDir dir;
    make_sample_images(dir);
    const SheetCase cases[] = {
        {"CGROM60.66", RomKind::character, 1},
        {"CGROM66.66", RomKind::character, 2},
        {"KANJIROM.66", RomKind::kanji, 3},
    };
    for (const SheetCase& c : cases) {
        const RunResult run = run_in(dir, romview + " " + c.image + " -o sheet.png --scale " + std::to_string(c.scale));
        ASSERT_EQ(run.status, 0) << c.image << ": " << run.output;
        const Png png = read_png(dir.file("sheet.png"));
        const Bytes rom = read_file(dir.file(c.image));
        const SheetLayout layout = sheet_layout(c.kind, c.scale);
        ASSERT_EQ(png.width, layout.width) << c.image;
        ASSERT_EQ(png.height, layout.height) << c.image;
        for (int index = 0; index < glyph_count(rom); ++index) {
            const Colour paper = shows_placeholder(rom, index) ? placeholder_paper_colour : paper_colour;
            const std::string where = std::string(c.image) + " glyph " + std::to_string(index);
            EXPECT_EQ(sheet_picture(png, layout, index, paper), rom_picture(rom, index)) << where;
            const Pixel first_dot = dot_pixel(layout, index, 0, 0);
            EXPECT_TRUE(pixel_is(png, first_dot.x - 1, first_dot.y, grid_colour)) << where;
            EXPECT_TRUE(pixel_is(png, first_dot.x, first_dot.y - 1, grid_colour)) << where;
        }
    }
}

// Dots worked out by hand: row 1 of cell 0x41 ('A') of the first character
// ROM holds one dot, in column 3; at the default scale a cell of the first
// table is 8 x 16 squares of 2 x 2 pixels behind a one-pixel grid line.
TEST(Romview, PlacesKnownDotsOfTheDefaultSheet) {
    ScratchDir dir;
    make_sample_images(dir);
    ASSERT_EQ(run_in(dir, romview + " CGROM60.66").status, 0);
    ASSERT_EQ(read_file(dir.file("CGROM60.66"))[0x41 * cell_bytes + 1], 0x10);
    const Png png = read_png(dir.file("CGROM60.66.png"));
    const SheetLayout layout = sheet_layout(RomKind::character, 2);
    const Pixel cell{layout.table_left + 1 * 17 + 1, layout.table_top + 4 * 33 + 1};  // line 4, column 1
    EXPECT_TRUE(square_is(png, {cell.x + 3 * 2, cell.y + 1 * 2}, 2, dot_colour));
    EXPECT_TRUE(square_is(png, {cell.x + 2 * 2, cell.y + 1 * 2}, 2, paper_colour));
}

// A sheet that cannot be written whole leaves the earlier one and the link
// to it as they were, and no temporary file.
TEST(Romview, FailedSheetLeavesTheEarlierSheetAndItsLink) {
    ScratchDir dir;
    make_sample_images(dir);
    const std::string old_sheet = "earlier sheet";
    // The file size limit: the run ends with an error, not a signal.
    write_file(dir.file("sheet.png"), old_sheet);
    std::filesystem::create_symlink("sheet.png", dir.file("link.png"));
    const SplitRun limited = run_romview(dir, " KANJIROM.66 -o link.png");
    ASSERT_EQ(limited.status, 0) << limited.err;  // the link followed, the sheet replaced
    write_file(dir.file("sheet.png"), old_sheet);
    const RunResult run = run_in(dir, "ulimit -f 4 && " + romview + " KANJIROM.66 -o link.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "romview: cannot write link.png\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_EQ(read_file(dir.file("sheet.png")), Bytes(old_sheet.begin(), old_sheet.end()));
    // A disk too small for the sheet, behind a link.
    SmallDisk disk(dir.file("disk"), "64k");
    if (!disk.mounted) GTEST_SKIP() << "cannot mount a 64 KB tmpfs (" << std::strerror(disk.error) << "); needs root";
    write_file(disk.path + "/sheet.png", old_sheet);
    std::filesystem::remove(dir.file("link.png"));
    std::filesystem::create_symlink("disk/sheet.png", dir.file("link.png"));
    const SplitRun full = run_romview(dir, " KANJIROM.66 -o link.png");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "romview: cannot write link.png\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.png")));
    EXPECT_EQ(read_file(disk.path + "/sheet.png"), Bytes(old_sheet.begin(), old_sheet.end()));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(disk.path)) ++files;
    EXPECT_EQ(files, 1) << "a temporary file was left on the full disk";
}

}  // namespace
