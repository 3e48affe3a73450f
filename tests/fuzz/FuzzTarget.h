#pragma once
// A fuzz target's entry point: `size` bytes at `data`, as libFuzzer hands them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#define TRILLBOX_FUZZ_TARGET extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)

// A directory of the process's own for a target's files, removed when the process ends.
inline const std::string& fuzzScratchDirectory() {
    static const struct Scratch {
        std::string path = [] {
            char pattern[] = "/tmp/trillbox-fuzz-XXXXXX";
            return std::string(mkdtemp(pattern) ? pattern : "/tmp");
        }();
        ~Scratch() {
            std::error_code ignored;
            if (path != "/tmp") {
                std::filesystem::remove_all(path, ignored);
            }
        }
    } scratch;
    return scratch.path;
}
