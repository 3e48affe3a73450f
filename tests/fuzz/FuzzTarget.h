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

#include <unistd.h>

#define TRILLBOX_FUZZ_TARGET extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)

// A directory of the process's own for a target's files, removed when the process ends.
inline const std::string& fuzzScratchDirectory() {
    static const struct Scratch {
        std::string path =
            std::filesystem::temp_directory_path() / ("trillbox-fuzz-" + std::to_string(getpid()));
        Scratch() { std::filesystem::create_directories(path); }
        ~Scratch() { std::filesystem::remove_all(path); }
    } scratch;
    return scratch.path;
}
