// fuzz_replay TARGET DIRECTORY: every file of a corpus through one fuzz target, as
// its fuzzer runs them, so that the seeds and the inputs that once failed run
// with the other tests.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string_view>

#define TARGET(name) extern "C" int trillboxFuzz_##name(const std::uint8_t* data, std::size_t size);
TRILLBOX_FUZZ_TARGETS
#undef TARGET
#define TARGET(name) {#name, trillboxFuzz_##name},

int main(int argc, char** argv) {
    const std::pair<std::string_view, int (*)(const std::uint8_t*, std::size_t)> targets[] = {
        TRILLBOX_FUZZ_TARGETS};
    const auto target = std::find_if(std::begin(targets), std::end(targets),
                                     [&](const auto& each) { return argc == 3 && each.first == argv[1]; });
    std::error_code error;
    if (target == std::end(targets) || !std::filesystem::is_directory(argv[2], error)) {
        std::fprintf(stderr, "usage: fuzz_replay TARGET DIRECTORY (a known target and its corpus)\n");
        return 2;
    }
    const std::set<std::filesystem::path> files(std::filesystem::directory_iterator(argv[2]), {});
    for (const auto& file : files) {
        std::ifstream stream(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(stream), {}};
        // A copy of the input's own size, as the fuzzer gives: a read past its end is caught.
        const auto input = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(bytes.size(), 1));
        std::copy(bytes.begin(), bytes.end(), input.get());
        std::printf("%s\n", file.filename().c_str());
        std::fflush(stdout);
        target->second(input.get(), bytes.size());
    }
    return files.empty() ? 1 : 0;
}
