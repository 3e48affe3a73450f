#pragma once
// A fuzz target's entry point: `size` bytes at `data`, as libFuzzer hands them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#define TRILLBOX_FUZZ_TARGET extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
