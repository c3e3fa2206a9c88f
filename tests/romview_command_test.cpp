// romview's command line and standard streams: refused input with its one
// line, help and version, write errors on standard output, and -o - or
// /dev/stdout for the sheet and the font.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "romview_support.h"

namespace {

struct RefusalCase {
    const char* name;
    std::string arguments;
    std::string message;  // on standard error
    int status;
};

// One line on standard error, nothing on standard output, status 1 (2 for
// --diff, as cmp), and no sheet left behind.
TEST(Romview, RefusalPrintsOneLineOnStandardError) {
    ScratchDir dir;
    make_sample_images(dir);
    write_file(dir.file("short.66"), std::string(100, '\0'));
    write_file(dir.file("long.66"), std::string(character_rom_size + 1, '\0'));
    write_file(dir.file("empty.66"), "");
    std::filesystem::create_directory(dir.file("folder.66"));
    std::filesystem::create_symlink("CGROM66.66", dir.file("link.66"));
    const std::string wrong_size = " bytes, not 8192 (character ROM) or 32768 (kanji ROM)\n";
    const std::string usage = "usage: romview IMAGE [-o FILE.png] [--scale N] [--list] [--text CELL]\n";
    const std::string diff_usage = "usage: romview --diff IMAGE1 IMAGE2 [-o FILE.png] [--scale N]\n";
    const std::string bdf_usage = "usage: romview --bdf IMAGE [-o FILE.bdf]\n";
    const RefusalCase cases[] = {
        {"image too short", " short.66", "romview: short.66 is not a ROM image: 100" + wrong_size, 1},
        {"image one byte too long", " long.66", "romview: long.66 is not a ROM image: 8193" + wrong_size, 1},
        {"empty image", " empty.66", "romview: empty.66 is not a ROM image: 0" + wrong_size, 1},
        {"endless image", " /dev/zero",
         "romview: /dev/zero is not a ROM image: more than 32768" + wrong_size, 1},
        {"missing image", " missing.66", "romview: cannot open missing.66\n", 1},
        {"image is a folder", " folder.66", "romview: cannot open folder.66\n", 1},
        {"sheet in a missing folder", " CGROM60.66 -o nowhere/sheet.png",
         "romview: cannot write nowhere/sheet.png\n", 1},
        {"sheet over a folder", " KANJIROM.66 -o folder.66", "romview: cannot write folder.66\n", 1},
        {"sheet over the image", " CGROM66.66 -o CGROM66.66",
         "romview: CGROM66.66 is the image CGROM66.66 itself; give -o another name\n", 1},
        {"sheet over a link to the image", " CGROM66.66 --list -o link.66",
         "romview: link.66 is the image CGROM66.66 itself; give -o another name\n", 1},
        {"font over the image", " --bdf KANJIROM.66 -o ./KANJIROM.66",
         "romview: ./KANJIROM.66 is the image KANJIROM.66 itself; give -o another name\n", 1},
        {"scale zero", " CGROM60.66 --scale 0", "romview: bad scale 0: give 1 to 8\n", 1},
        {"scale too large", " CGROM60.66 --scale 9", "romview: bad scale 9: give 1 to 8\n", 1},
        {"scale not a number", " CGROM60.66 --scale 2x", "romview: bad scale 2x: give 1 to 8\n", 1},
        {"cell beyond the character ROM", " CGROM66.66 --text 512", "romview: bad cell 512: give 0 to 511\n", 1},
        {"cell beyond the kanji ROM", " KANJIROM.66 --text 0x400", "romview: bad cell 0x400: give 0 to 1023\n", 1},
        {"negative cell", " CGROM66.66 --text -1", "romview: bad cell -1: give 0 to 511\n", 1},
        {"no image", "", usage, 1},
        {"two images", " CGROM60.66 CGROM66.66", usage, 1},
        {"unknown option", " CGROM60.66 -x", usage, 1},
        {"option without its value", " CGROM60.66 -o", usage, 1},
        {"sheet without a name", " KANJIROM.66 -o ''", "romview: cannot write a file without a name\n", 1},
        {"font with a list", " --bdf CGROM60.66 --list", bdf_usage, 1},
        {"font with a scale", " --bdf CGROM60.66 --scale 2", bdf_usage, 1},
        {"compare one image", " --diff CGROM60.66", diff_usage, 2},
        {"compare three images", " --diff CGROM60.66 CGROM66.66 KANJIROM.66", diff_usage, 2},
        {"compare with a list", " --diff CGROM60.66 CGROM66.66 --list", diff_usage, 2},
        {"compare and export", " --diff --bdf CGROM60.66 CGROM66.66", diff_usage, 2},
        {"compare with an unknown option", " --diff CGROM60.66 CGROM66.66 -x", diff_usage, 2},
        {"compare with a bad scale", " --diff CGROM60.66 CGROM66.66 -o d.png --scale 0",
         "romview: bad scale 0: give 1 to 8\n", 2},
        {"compare a missing image", " --diff CGROM60.66 missing.66", "romview: cannot open missing.66\n", 2},
        {"compare a short image", " --diff short.66 CGROM60.66",
         "romview: short.66 is not a ROM image: 100" + wrong_size, 2},
        {"compare different kinds", " --diff CGROM60.66 KANJIROM.66",
         "romview: CGROM60.66 is a character ROM, KANJIROM.66 a kanji ROM; only images of one kind compare\n", 2},
        {"difference sheet over an image", " --diff CGROM60.66 CGROM66.66 -o CGROM66.66",
         "romview: CGROM66.66 is the image CGROM66.66 itself; give -o another name\n", 2},
    };
    const Bytes image = read_file(dir.file("CGROM66.66"));
    for (const RefusalCase& c : cases) {
        const SplitRun run = run_romview(dir, c.arguments);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.err, c.message) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
    EXPECT_EQ(read_file(dir.file("CGROM66.66")), image);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.66")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        EXPECT_NE(entry.path().extension(), ".png") << entry.path();
    }
}

// Help and version on standard output with status 0, whatever else is given.
TEST(Romview, HelpAndVersionGoToStandardOutput) {
    ScratchDir dir;
    const SplitRun help = run_romview(dir, " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: romview IMAGE", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const SplitRun version = run_romview(dir, " missing.66 --version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "romview " TOOLKIT_VERSION "\n");
}

// A romview run by its arguments and the status it must end with.
struct RunCase {
    const char* name;
    std::string arguments;
    int status;
};

// Reports that cannot all be written are a failure, never a silent success.
TEST(Romview, StandardOutputWriteErrorFails) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunCase cases[] = {
        {"list", " CGROM66.66 --list", 1},
        {"summary", " CGROM66.66 -o sheet.png", 1},
        {"text", " KANJIROM.66 --text 0", 1},
        {"font", " --bdf KANJIROM.66", 1},
        {"help", " --help", 1},
        {"differences", " --diff CGROM60.66 CGROM66.66", 2},
        {"sheet to standard output", " CGROM66.66 -o -", 1},
        {"difference sheet to standard output", " --diff CGROM60.66 CGROM66.66 -o -", 2},
        {"font to standard output", " --bdf KANJIROM.66 -o -", 1},
    };
    for (const char* stream : {" >/dev/full", " >&-"}) {
        for (const RunCase& c : cases) {
            const SplitRun run = run_romview(dir, c.arguments + stream);
            EXPECT_EQ(run.status, c.status) << c.name << stream;
            EXPECT_EQ(run.err, "romview: cannot write standard output\n") << c.name << stream;
        }
    }
}

// /dev/stdout names the pipe romview's output goes into, not a file.
TEST(Romview, SheetAndFontToStandardOutputThroughItsName) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunResult sheet = run_in(dir, romview + " KANJIROM.66 -o /dev/stdout | cat > sheet.png && head -c 4 sheet.png");
    EXPECT_EQ(sheet.output, "\x89PNG");
    const RunResult font = run_in(dir, "cp KANJIROM.66 before.66 && " + romview + " --bdf before.66 -o /dev/stdout | " +
                                           GLYPHMILL_PATH + " - && cmp KANJIROM.66 before.66");
    EXPECT_EQ(font.status, 0) << font.output;
}

// -o - gives standard output the bytes -o FILE writes, a font included, and
// the report that would have gone there goes to standard error instead;
// no file named - is made.
TEST(Romview, DashSendsTheSheetToStandardOutputAndTheReportToStandardError) {
    ScratchDir dir;
    make_sample_images(dir);
    const RunCase cases[] = {  // arguments without -o
        {"sheet and summary", " CGROM66.66 --scale 1", 0},
        {"sheet and list", " CGROM66.66 --list", 0},
        {"kanji sheet and text", " KANJIROM.66 --text 0", 0},
        {"difference sheet and differences", " --diff CGROM60.66 CGROM66.66", 1},
        {"font", " --bdf KANJIROM.66", 0},
    };
    for (const RunCase& c : cases) {
        const SplitRun to_file = run_romview(dir, c.arguments + " -o same.out");
        const SplitRun dash = run_romview(dir, c.arguments + " -o -");
        EXPECT_EQ(dash.status, c.status) << c.name << ": " << dash.err;
        EXPECT_EQ(to_file.status, c.status) << c.name << ": " << to_file.err;
        const Bytes file = read_file(dir.file("same.out"));
        EXPECT_FALSE(file.empty()) << c.name;
        EXPECT_EQ(Bytes(dash.out.begin(), dash.out.end()), file) << c.name;
        std::string report = to_file.out;
        const std::size_t sheet_line = report.find("sheet: same.out,");
        if (sheet_line != std::string::npos) report.replace(sheet_line + 7, 8, "standard output");
        EXPECT_EQ(dash.err, report) << c.name;
        EXPECT_FALSE(file_exists(dir.file("-"))) << c.name;
    }
}

}  // namespace
