// The companions with standard output on a pipe whose reader has gone: each
// mode says "cannot write standard output" and ends with its error status,
// never dying silently of the signal.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

struct ClosedPipeCase {
    const char* name;
    std::string command;  // run in a folder holding font.bdf and the three images
    int status;
    std::string message;
};

const std::string romview = ROMVIEW_PATH;
const std::string fontprep = FONTPREP_PATH;
const std::string romview_message = "romview: cannot write standard output\n";
const std::string fontprep_message = "fontprep: cannot write standard output\n";

const ClosedPipeCase cases[] = {
    {"romview_bdf_export", romview + " --bdf KANJIROM.66", 1, romview_message},
    {"romview_sheet_to_standard_output", romview + " KANJIROM.66 -o -", 1, romview_message},
    {"romview_report_of_a_character_rom", romview + " CGROM66.66 -o sheet.png", 1, romview_message},
    {"romview_list", romview + " CGROM66.66 --list", 1, romview_message},
    {"romview_text_of_a_cell", romview + " CGROM60.66 --text 65", 1, romview_message},
    {"romview_diff", romview + " --diff CGROM60.66 CGROM66.66", 2, romview_message},
    {"romview_help", romview + " --help", 1, romview_message},
    {"romview_version", romview + " --version", 1, romview_message},
    {"fontprep_font", fontprep + " --quiet font.bdf", 1, fontprep_message},
    {"fontprep_font_to_dash", fontprep + " -o - font.bdf", 1, fontprep_message},
    {"fontprep_help", fontprep + " --help", 1, fontprep_message},
    {"fontprep_version", fontprep + " --version", 1, fontprep_message},
};

void PrintTo(const ClosedPipeCase& c, std::ostream* out) {
    *out << c.name;
}

class ClosedPipe : public testing::TestWithParam<ClosedPipeCase> {};

TEST_P(ClosedPipe, SaysSoWithItsErrorStatus) {
    const ClosedPipeCase& c = GetParam();
    ScratchDir dir;
    std::string font = make_font("ISO10646", 8, 2, {{0x41, "8 10 0 -2", std::vector<std::string>(10, "3C")}});
    font.insert(font.find("STARTPROPERTIES"), "SIZE 10 75 75\nFONTBOUNDINGBOX 8 10 0 -2\n");
    font.insert(font.find("ENDPROPERTIES"), "CHARSET_ENCODING \"1\"\n");
    font.insert(font.find("BBX"), "SWIDTH 1000 0\nDWIDTH 8 0\n");
    write_file(dir.file("font.bdf"), font);
    ASSERT_EQ(run_in(dir, std::string(GLYPHMILL_PATH) + " font.bdf && " + CELLFORGE_PATH + " font.bdf").status, 0);
    const RunResult run = run_into_closed_pipe(dir, c.command);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.output, c.message);
}

INSTANTIATE_TEST_SUITE_P(Modes, ClosedPipe, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<ClosedPipeCase>& info) { return info.param.name; });

}  // namespace
