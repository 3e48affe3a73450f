#include "support/TemporaryDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

TemporaryDirectory::TemporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/trillbox-test-XXXXXX";
    if (::mkdtemp(pattern.data())) {
        _path = pattern;
    }
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    if (!_path.empty()) {
        std::filesystem::remove_all(_path, ignored);
    }
}

std::string TemporaryDirectory::write(std::string_view relative, std::string_view contents) const {
    const std::string target = file(relative);
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    std::ofstream(target, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return target;
}

std::string readFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
