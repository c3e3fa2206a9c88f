// Images written in a hostile environment: signals while the temporary file
// exists, leftovers of earlier runs, closed standard streams, a file size
// limit, TMPDIR, links, modes, devices and named pipes, huge fonts and
// concurrent runs. No case may leave a temporary file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "output_file.h"
#include "rom_format.h"
#include "test_support.h"

namespace {

const std::string glyphmill = GLYPHMILL_PATH;
const std::string cellforge = CELLFORGE_PATH;

int count_temporary_files(const std::string& folder) {
    int found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++found;
    }
    return found;
}

struct SignalCase {
    const char* name;
    int signal_number;
    bool ignored_from_start;  // as under nohup: the signal does nothing
};

// The child writes half an image and receives the signal while the
// temporary file exists; it must die of that signal and leave only the
// earlier image.
TEST(OutputFileSignals, TemporaryFileRemovedAndProcessDiesOfTheSignal) {
    const SignalCase cases[] = {
        {"interrupt", SIGINT, false},
        {"terminate", SIGTERM, false},
        {"hang up", SIGHUP, false},
        {"quit", SIGQUIT, false},
        {"hang up ignored from the start", SIGHUP, true},
        {"timer, as timeout -s ALRM sends", SIGALRM, false},
        {"user signal", SIGUSR1, false},
        {"pipe without a reader", SIGPIPE, false},
        {"processor time limit", SIGXCPU, false},
    };
    for (const SignalCase& c : cases) {
        ScratchDir dir;
        const std::string image = dir.file("image.66");
        write_file(image, "old image");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (c.ignored_from_start) std::signal(c.signal_number, SIG_IGN);
            OutputFile output;
            if (!create_output_file(output, image.c_str())) _exit(2);
            write_output_bytes(output, "new", 3);
            std::raise(c.signal_number);
            _exit(finish_output_file(output) == OutputResult::written ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.ignored_from_start) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name;
            EXPECT_EQ(read_file(image), Bytes({'n', 'e', 'w'})) << c.name;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal_number) << c.name;
            EXPECT_EQ(read_file(image).size(), 9u) << c.name << ": the earlier image is gone";
        }
        EXPECT_EQ(count_temporary_files(dir.path), 0) << c.name;
    }
}

// SIGKILL cannot be caught; where the system has unnamed files, the
// temporary file has no name to leave behind.
TEST(OutputFileSignals, KilledWhileWritingLeavesNothing) {
    ScratchDir dir;
    std::FILE* probe = create_unnamed_file(dir.path.c_str());
    if (probe == nullptr) GTEST_SKIP() << "no unnamed files in " << dir.path;
    std::fclose(probe);
    const std::string image = dir.file("sub/KANJIROM.66");
    std::filesystem::create_directory(dir.file("sub"));
    write_file(image, "old image");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OutputFile output;
        if (!create_output_file(output, image.c_str())) _exit(2);
        write_output_bytes(output, std::string(40000, 'n').data(), 40000);
        std::fflush(output.file);
        std::raise(SIGKILL);
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_EQ(read_file(image).size(), 9u) << "the earlier image is gone";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("sub")), {}), 1);
}

TEST(OutputFileNames, LongNameInAnotherFolder) {
    ScratchDir dir;
    const std::string folder = dir.file(std::string(150, 'd'));
    std::filesystem::create_directory(folder);
    const std::string image = folder + "/" + std::string(250, 'i');
    OutputFile output;
    ASSERT_TRUE(create_output_file(output, image.c_str()));
    write_output_bytes(output, "new", 3);
    ASSERT_EQ(finish_output_file(output), OutputResult::written);
    EXPECT_EQ(read_file(image), Bytes({'n', 'e', 'w'}));
    EXPECT_EQ(count_temporary_files(dir.path), 0);
}

TEST(FontSize, SparseFontOfThreeGibibytesRefusedBeforeReading) {
    ScratchDir dir;
    const std::string font = dir.file("big.bdf");
    write_file(font, "STARTFONT 2.1\n");
    std::filesystem::resize_file(font, std::uintmax_t{3} << 30);
    static FontStream stream;
    EXPECT_FALSE(open_font_stream(stream, font.c_str()));
}

struct Scene {
    const char* name;
    std::string setup;    // shell commands preparing the folder
    std::string run;      // $G is glyphmill, $C cellforge
    int status;
    std::string output;
    std::string check;    // a shell test of the folder afterwards
    bool as_other_user = false;  // run without root's power over file modes
    bool needs_root = false;     // the setup gives a file to another user
};

const std::string kanji_size = std::to_string(kanji_rom_size);
const std::string kanji_size_is_new = "test $(stat -c %s KANJIROM.66) = " + kanji_size;

const Scene scenes[] = {
    // Leftovers of killed runs never block a run.
    {"leftover_temporary_files", "for i in $(seq 0 150); do : > KANJIROM.66.tmp$i; done", "$G font.bdf", 0, "",
     kanji_size_is_new + " && test $(ls | grep -c tmp) = 151 && rm $(seq -f KANJIROM.66.tmp%g 0 150)"},

    // A closed standard input reads as an empty font.
    {"glyphmill_font_on_closed_standard_input", "", "$G - <&-", 1, "illegal bdf\n", "test ! -e KANJIROM.66"},
    {"cellforge_font_2_on_closed_standard_input", "", "$C font.bdf - <&-", 1, "illegal bdf\n",
     "test ! -e CGROM66.66"},
    {"closed_standard_output_and_error", "", "$G font.bdf >&- 2>&-", 0, "", kanji_size_is_new},

    // The spool of a pipe: a glyph whose lines run on to the end of the font
    // is kept there whole.
    {"file_size_limit_while_spooling", "{ echo ENCODING 12326; head -c 300000 /dev/zero; } > big.bdf",
     "(ulimit -f 100; cat big.bdf | $G -)", 1, "cannot open -\n", "test ! -e KANJIROM.66"},
    {"file_size_limit_while_copying_font_2_stops_before_the_first_image",
     "{ echo ENCODING 65313; head -c 3000000 /dev/zero; } > big.bdf && echo old > CGROM60.66",
     "(ulimit -f 1000; cat big.bdf | $C font.bdf -)",
     1, "cannot open -\n", "test \"$(cat CGROM60.66)\" = old && test ! -e CGROM66.66"},
    {"spool_in_missing_tmpdir", "", "cat font.bdf | TMPDIR=$PWD/nowhere $G -", 1, "cannot open -\n",
     "test ! -e KANJIROM.66"},
    {"spool_in_tmpdir", "mkdir spool", "cat font.bdf | TMPDIR=$PWD/spool $G -", 0, "",
     kanji_size_is_new + " && test -z \"$(ls spool)\""},

    // Links and modes.
    {"link_to_missing_file_in_other_folder", "mkdir real && ln -s real/kanji.66 KANJIROM.66", "$G font.bdf", 0,
     "", "test -L KANJIROM.66 && test $(stat -c %s real/kanji.66) = " + kanji_size},
    {"chain_of_relative_links", "mkdir -p a/b && echo old > a/b/img && ln -s b/img a/link && ln -s a/link KANJIROM.66",
     "$G font.bdf", 0, "", "test -L KANJIROM.66 && test -L a/link && test $(stat -c %s a/b/img) = " + kanji_size},
    {"cellforge_through_links", "mkdir c && ln -s c/60 CGROM60.66 && ln -s c/66 CGROM66.66", "$C font.bdf", 0,
     "", "test -L CGROM60.66 && test -L CGROM66.66 && test $(cat c/60 c/66 | wc -c) = " +
         std::to_string(2 * character_rom_size)},
    {"loop_of_links", "ln -s loop KANJIROM.66 && ln -s KANJIROM.66 loop", "$G font.bdf", 1,
     "cannot open KANJIROM.66\n", "test -L KANJIROM.66 && test -L loop"},
    {"link_planted_by_another_user_in_a_shared_folder",
     "mkdir -m 1777 shared && echo mine > mine && ln -s $PWD/mine shared/KANJIROM.66 && "
     "chown -h 65534 shared/KANJIROM.66",
     "cd shared && $G ../font.bdf", 1, "cannot open KANJIROM.66\n", "test \"$(cat mine)\" = mine", false, true},
    {"own_link_in_a_shared_folder", "mkdir -m 1777 shared && ln -s ../mine shared/KANJIROM.66",
     "cd shared && $G ../font.bdf", 0, "", "test $(stat -c %s mine) = " + kanji_size},
    {"set_user_id_bit_not_carried_over", "echo old > KANJIROM.66 && chmod 6755 KANJIROM.66", "$G font.bdf", 0, "",
     kanji_size_is_new + " && test $(stat -c %a KANJIROM.66) = 755"},
    {"image_name_links_to_standard_output_on_a_pipe", "ln -s /dev/stdout KANJIROM.66",
     "{ $G font.bdf; echo $? > status; } | wc -c > count", 0, "",
     "test -L KANJIROM.66 && test $(cat status) = 0 && test $(cat count) = " + kanji_size},
    {"replaced_image_keeps_its_mode", "echo old > KANJIROM.66 && chmod 604 KANJIROM.66", "$G font.bdf", 0, "",
     kanji_size_is_new + " && test $(stat -c %a KANJIROM.66) = 604"},
    {"new_image_mode_under_umask", "", "umask 027 && $G font.bdf", 0, "",
     "test $(stat -c %a KANJIROM.66) = 640"},
    {"hard_link_keeps_the_old_image", "echo old > KANJIROM.66 && ln KANJIROM.66 other", "$G font.bdf", 0, "",
     kanji_size_is_new + " && test \"$(cat other)\" = old"},
    {"read_only_image_refused", "echo old > KANJIROM.66 && chmod 444 KANJIROM.66", "$G font.bdf", 1,
     "cannot open KANJIROM.66\n", "test \"$(cat KANJIROM.66)\" = old", true},
    {"image_is_a_full_device", "ln -s /dev/full KANJIROM.66", "$G font.bdf", 1, "cannot write KANJIROM.66\n",
     "test -L KANJIROM.66"},
    {"image_is_a_named_pipe_with_a_reader", "mkfifo KANJIROM.66",
     "exec 3<>KANJIROM.66; $G font.bdf; s=$?; head -c " + kanji_size + " <&3 > copy; exit $s", 0, "",
     "test -p KANJIROM.66 && test $(stat -c %s copy) = " + kanji_size},
    {"image_is_a_named_pipe_without_reader", "mkfifo KANJIROM.66", "$G font.bdf", 1, "cannot open KANJIROM.66\n",
     "test -p KANJIROM.66"},

    // Huge fonts, signals and concurrent runs.
    {"sparse_font_of_three_gibibytes", "truncate -s 3G big.bdf", "$G big.bdf", 1, "cannot open big.bdf\n",
     "test ! -e KANJIROM.66"},
    {"terminated_while_reading_a_named_pipe", "mkfifo pipe.bdf && echo old > KANJIROM.66",
     "exec 3<>pipe.bdf; $G pipe.bdf & p=$!; sleep 0.2; kill -TERM $p; wait $p 2>/dev/null", 128 + SIGTERM, "",
     "test \"$(cat KANJIROM.66)\" = old"},
    {"four_runs_in_one_folder", "", "for i in 1 2 3 4; do $G font.bdf & done; wait", 0, "", kanji_size_is_new},
};

void PrintTo(const Scene& scene, std::ostream* out) {
    *out << scene.name;
}

const std::string as_ordinary_user = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

// The shell that runs a scene's script: as an ordinary user when the tests
// run as root, who may write any file. That user may not reach the build
// folder (a checkout in a private folder), so the programs run from copies
// in the scratch folder. Empty, with the reason, when that is not possible.
std::string shell_as_ordinary_user(const ScratchDir& dir, std::string& programs, std::string& reason) {
    if (geteuid() != 0) return "sh";
    if (std::system((as_ordinary_user + "true 2>/dev/null").c_str()) != 0) {
        reason = "running as root and setpriv cannot drop to uid 65534";
        return "";
    }
    namespace fs = std::filesystem;
    fs::permissions(dir.path, fs::perms::all);
    fs::create_directory(dir.file("bin"));
    fs::copy_file(glyphmill, dir.file("bin/glyphmill"));
    fs::copy_file(cellforge, dir.file("bin/cellforge"));
    programs = "G=" + dir.file("bin/glyphmill") + " C=" + dir.file("bin/cellforge");
    if (std::system((as_ordinary_user + "test -x " + dir.file("bin/glyphmill")).c_str()) != 0) {
        reason = "uid 65534 cannot reach the scratch folder " + dir.path;
        return "";
    }
    return as_ordinary_user + "sh";
}

class OutputScene : public testing::TestWithParam<Scene> {};

TEST_P(OutputScene, EndsAsDefinedAndLeavesNoTemporaryFile) {
    const Scene& scene = GetParam();
    if (scene.needs_root && geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
    ScratchDir dir;
    write_file(dir.file("font.bdf"), make_font("JISX0208.1990", 14, 2, {{0x467C, "16 16 0 -2", {"FFFF"}}}));
    ASSERT_EQ(run_in(dir, scene.setup.empty() ? "true" : scene.setup).status, 0) << scene.name;
    std::string programs = "G=" + glyphmill + " C=" + cellforge;
    std::string reason;
    const std::string shell = scene.as_other_user ? shell_as_ordinary_user(dir, programs, reason) : "sh";
    if (shell.empty()) GTEST_SKIP() << reason;
    write_file(dir.file("scene.sh"), programs + "\n" + scene.run + "\n");
    // The programs start with the signal actions of this process, where
    // create_output_file may have ignored the file size limit's signal.
    std::signal(SIGXFSZ, SIG_DFL);
    const RunResult run = run_in(dir, "timeout 60 " + shell + " scene.sh");
    EXPECT_EQ(run.status, scene.status);
    EXPECT_EQ(run.output, scene.output);
    EXPECT_EQ(run_in(dir, scene.check).status, 0) << "check failed: " << scene.check;
    EXPECT_EQ(count_temporary_files(dir.path), 0) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Cases, OutputScene, testing::ValuesIn(scenes),
                         [](const testing::TestParamInfo<Scene>& info) { return info.param.name; });

}  // namespace
