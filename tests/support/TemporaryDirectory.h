#pragma once

#include <string>
#include <string_view>

// A directory of its own under $TMPDIR (or /tmp), removed with everything in it
// when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory();

    const std::string& path() const { return _path; }
    // The path of `relative` inside the directory.
    std::string file(std::string_view relative) const { return _path + "/" + std::string(relative); }
    // Writes `contents` to `relative`, creating its parent directories; answers its path.
    std::string write(std::string_view relative, std::string_view contents) const;

private:
    std::string _path;
};

// The whole contents of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
