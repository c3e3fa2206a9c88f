// Runs a fuzz target's entry point on each file named, as libFuzzer replays
// a corpus, so that every seed and every regression input is checked by the
// ordinary test build too (and by the sanitizer build under its checks). A
// broken property stops the run as a crash; a file that cannot be read is
// a failure.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int next = 1; next < argc; ++next) {
        std::ifstream file(argv[next], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[next]);
            return 1;
        }
        const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(file), {});
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%d inputs replayed\n", argc - 1);
    return 0;
}
