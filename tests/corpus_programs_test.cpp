// Every seed font and regression input of the fuzz corpus run through the
// programs themselves: each run ends with status 0 or 1, prints at most one
// line, and leaves no file but its images.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const std::string corpus = FUZZ_DIR;

std::vector<std::string> inputs_in(const std::vector<std::string>& folders) {
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        if (!fs::is_directory(corpus + "/" + folder)) continue;
        for (const auto& entry : fs::directory_iterator(corpus + "/" + folder)) found.push_back(entry.path());
    }
    return found;
}

std::set<std::string> files_in(const ScratchDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path)) names.insert(entry.path().filename());
    return names;
}

struct ProgramRun {
    const char* name;
    std::string command;  // the input's path follows
    std::set<std::string> may_leave;
};

void expect_defined_end(const ProgramRun& run, const std::string& input) {
    ScratchDir dir;
    const RunResult result = run_in(dir, run.command + " '" + input + "' 2>&1");
    const std::string where = std::string(run.name) + " on " + input;
    EXPECT_TRUE(result.status == 0 || result.status == 1) << where << ": status " << result.status;
    EXPECT_LE(std::count(result.output.begin(), result.output.end(), '\n'), 1) << where << ": " << result.output;
    for (const std::string& name : files_in(dir)) EXPECT_TRUE(run.may_leave.count(name)) << where << " left " << name;
}

TEST(CorpusThroughPrograms, EveryConverterRunEndsAsDefined) {
    const std::set<std::string> kanji = {"KANJIROM.66"};
    const std::set<std::string> cells = {"CGROM60.66", "CGROM66.66"};
    const ProgramRun runs[] = {
        {"glyphmill", GLYPHMILL_PATH, kanji},
        {"cellforge", CELLFORGE_PATH, cells},
        {"cellforge -ascii", std::string(CELLFORGE_PATH) + " -ascii", cells},
    };
    const std::vector<std::string> fonts = inputs_in({"corpus/fonts", "regressions/scan_font_header_fuzzer",
                                                      "regressions/collect_glyphs_fuzzer",
                                                      "regressions/kanji_pass_fuzzer"});
    ASSERT_FALSE(fonts.empty()) << "no corpus under " << corpus;
    for (const std::string& font : fonts) {
        for (const ProgramRun& run : runs) expect_defined_end(run, font);
    }
}

TEST(CorpusThroughPrograms, EveryFontprepRunEndsAsDefined) {
#if defined(FONTPREP_PATH)
    const ProgramRun run = {"fontprep", std::string(FONTPREP_PATH) + " --quiet -o out.bdf", {"out.bdf"}};
    const std::vector<std::string> fonts = inputs_in({"corpus/fontprep", "regressions/fontprep_fuzzer"});
    ASSERT_FALSE(fonts.empty()) << "no corpus under " << corpus;
    for (const std::string& font : fonts) expect_defined_end(run, font);
#else
    GTEST_SKIP() << "fontprep is not built (no FreeType)";
#endif
}

}  // namespace
