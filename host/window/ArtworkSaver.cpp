#include "window/ArtworkSaver.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "Foundation/NSFileDescriptor.h"
#include "host/HostFailure.h"

namespace host {
namespace {

namespace fs = std::filesystem;

// Enough to get past any pile of earlier saves, few enough to give up on a
// directory that refuses every name.
constexpr int kMostNameAttempts = 10000;

std::string variable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment ? environment(name) : nullptr;
    return value ? value : "";
}

std::string homeDirectory(const EnvironmentLookup& environment) {
    return variable(environment, "HOME");
}

// XDG_PICTURES_DIR of a user-dirs.dirs file: a shell assignment of a quoted path
// that is absolute or starts with $HOME. nullopt when the file does not say.
std::optional<std::string> picturesFromUserDirs(const fs::path& file, const std::string& home) {
    std::ifstream input(file);
    std::optional<std::string> found;
    for (std::string line; std::getline(input, line);) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') {
            continue;
        }
        static constexpr std::string_view kKey = "XDG_PICTURES_DIR=";
        if (line.compare(start, kKey.size(), kKey) != 0) {
            continue;
        }
        std::string value = line.substr(start + kKey.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
            value.pop_back();
        }
        if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
            continue;
        }
        value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) {
            if (home.empty()) {
                continue;
            }
            value = home + value.substr(5);
        } else if (!value.starts_with("/")) {
            continue;
        }
        // Later lines win, as when the shell reads the file.
        found = value;
    }
    return found;
}

bool isUsableDirectory(const std::string& path, const std::string& home) {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        return false;
    }
    if (!home.empty() && fs::equivalent(path, home, error)) {
        return false;
    }
    return true;
}

} // namespace

EnvironmentLookup processEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

std::string picturesDirectory(const EnvironmentLookup& environment) {
    const std::string home = homeDirectory(environment);
    std::string configHome = variable(environment, "XDG_CONFIG_HOME");
    if (configHome.empty() && !home.empty()) {
        configHome = home + "/.config";
    }
    std::string candidate;
    if (auto configured = configHome.empty()
                              ? std::nullopt
                              : picturesFromUserDirs(fs::path(configHome) / "user-dirs.dirs", home)) {
        candidate = *configured;
    } else if (const std::string fromEnvironment = variable(environment, "XDG_PICTURES_DIR");
               !fromEnvironment.empty()) {
        candidate = fromEnvironment;
    } else if (!home.empty()) {
        candidate = home + "/Pictures";
    }
    return isUsableDirectory(candidate, home) ? fs::path(candidate).lexically_normal().string()
                                              : std::string();
}

std::string artworkDirectory(const EnvironmentLookup& environment) {
    if (std::string pictures = picturesDirectory(environment); !pictures.empty()) {
        return pictures;
    }
    std::string dataHome = variable(environment, "XDG_DATA_HOME");
    if (dataHome.empty()) {
        const std::string home = homeDirectory(environment);
        dataHome = (home.empty() ? std::string(".") : home) + "/.local/share";
    }
    return (fs::path(dataHome) / "trillbox").string();
}

std::string saveUniquePng(const std::string& directory, const std::string& stem,
                          const std::vector<unsigned char>& png) {
    std::error_code error;
    fs::create_directories(directory, error);
    if (error || !fs::is_directory(directory)) {
        throw HostFailure("cannot create the directory " + directory +
                          (error ? ": " + error.message() : std::string(": a file is in the way")));
    }
    for (int attempt = 1; attempt <= kMostNameAttempts; ++attempt) {
        const std::string name = attempt == 1 ? stem + ".png" : stem + "-" + std::to_string(attempt) + ".png";
        const std::string path = (fs::path(directory) / name).string();
        // O_EXCL: the name is ours only if nobody, not even a racing save, has it.
        NSFileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!file.valid()) {
            if (errno == EEXIST) {
                continue;
            }
            throw HostFailure("cannot create " + path + ": " + std::strerror(errno));
        }
        if (!file.writeAll(png.data(), png.size()) || !file.close()) {
            const int reason = errno;
            file.close();
            ::unlink(path.c_str());
            throw HostFailure("cannot write " + path + ": " + std::strerror(reason));
        }
        return path;
    }
    throw HostFailure("cannot find a free file name for " + stem + ".png in " + directory);
}

} // namespace host
