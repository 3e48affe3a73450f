#include "host/AutostartCommand.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Foundation/NSData.h"
#include "Foundation/NSString.h"
#include "Foundation/NSUTF8.h"
#include "host/HostFailure.h"

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAutostartUsage = "trillbox autostart on|off";

// A non-empty, absolute value of the environment variable `name`; empty otherwise.
std::string absoluteDirectoryVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

// `argument` as one argument of an Exec key: quoted when it holds a reserved
// character, with '%' doubled, then every backslash doubled again, as the key's
// string value needs.
std::string execArgument(const std::string& argument) {
    if (NSRepairUTF8(argument) != argument) {
        throw HostFailure("the autostart entry cannot name " + NSRepairUTF8(argument) + ": it is not UTF-8");
    }
    for (const char c : argument) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            throw HostFailure("the autostart entry cannot name a path with a control character");
        }
    }
    const bool quoted = argument.find_first_of(" \"'\\><~|&;$*?#()`") != std::string::npos;
    std::string value = quoted ? "\"" : "";
    for (const char c : argument) {
        if (quoted && std::strchr("\"`$\\", c)) {
            value += '\\';
        }
        value += c;
        if (c == '%') {
            value += '%';
        }
    }
    value += quoted ? "\"" : "";
    std::string written;
    for (const char c : value) {
        written += c;
        if (c == '\\') {
            written += '\\';
        }
    }
    return written;
}

std::string systemReason(int error) {
    return std::strerror(error != 0 ? error : EIO);
}

} // namespace

std::string autostartEntryPath() {
    std::string configHome = absoluteDirectoryVariable("XDG_CONFIG_HOME");
    if (configHome.empty()) {
        const std::string home = absoluteDirectoryVariable("HOME");
        if (home.empty()) {
            throw HostFailure("neither XDG_CONFIG_HOME nor HOME names a directory for the autostart entry");
        }
        configHome = home + "/.config";
    }
    return (fs::path(configHome) / "autostart" / "trillbox.desktop").string();
}

std::string autostartEntry(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Trillbox\n"
           "Comment=The now-playing widget, opened when you log in\n"
           "Exec=" +
           execArgument(program) +
           " run\n"
           "Icon=trillbox\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

int runAutostartCommand(const CommandLine& line, std::ostream& out) {
    const CommandArguments arguments(line.arguments, {}, {});
    const auto& positional = arguments.positional();
    if (positional.size() != 1 || (positional[0] != "on" && positional[0] != "off")) {
        throw UsageFailure(std::string(positional.empty() ? "missing argument" : "expected on or off") +
                           "; usage: " + kAutostartUsage);
    }
    const std::string path = autostartEntryPath();
    std::error_code error;
    if (positional[0] == "off") {
        if (!fs::remove(path, error)) {
            if (error) {
                throw HostFailure("cannot remove the autostart entry " + path + ": " + error.message());
            }
            out << "no autostart entry at " + path + "; nothing to remove\n";
            return 0;
        }
        out << "removed " << path << "; Trillbox no longer starts when you log in\n";
        return 0;
    }

    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        throw HostFailure("cannot find this program's path: " + error.message());
    }
    const std::string entry = autostartEntry(program.string());
    fs::create_directories(fs::path(path).parent_path(), error);
    if (error) {
        throw HostFailure("cannot create the directory " + fs::path(path).parent_path().string() + ": " +
                          error.message());
    }
    // Written beside the entry and renamed over it: a session starting meanwhile
    // never reads half an entry.
    errno = 0;
    if (!NSData::dataWithBytes(entry.data(), entry.size())->writeToFile(NSStr(path), YES)) {
        throw HostFailure("cannot write the autostart entry " + path + ": " + systemReason(errno));
    }
    out << "wrote " << path << "; Trillbox opens its window (" << program.string()
        << " run) when you log in\n";
    return 0;
}

} // namespace host
