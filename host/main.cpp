// trillbox: runs the now-playing widget the way the notification centre does,
// in a desktop window or headless: pictures, recordings, automation scripts and settings.
//
// This launcher reads the command line and answers --help and --version itself;
// everything else is in the host library next to it, loaded only for the runs
// that need it, which in turn loads the window, the MPRIS players and the JPEG
// decoder only when a run uses them.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "host/CommandHelp.h"
#include "host/CommandLine.h"
#include "host/HostFailure.h"
#include "host/ProgramLibrary.h"

#ifndef TRILLBOX_VERSION
#define TRILLBOX_VERSION "unknown"
#endif
// Where the host library is, relative to this program: "lib" in the build tree,
// "../lib/trillbox" (or the platform's library directory) once installed.
#ifndef TRILLBOX_LIBRARY_DIRECTORIES
#define TRILLBOX_LIBRARY_DIRECTORIES "lib"
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* kHostLibrary = "libtrillbox_host.so";

// The directory holding the host library; throws HostFailure naming the places looked at.
std::string findLibraryDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const std::string_view relatives = TRILLBOX_LIBRARY_DIRECTORIES;
    std::string looked;
    for (std::size_t start = 0; start <= relatives.size();) {
        const std::size_t end = std::min(relatives.find(':', start), relatives.size());
        const fs::path directory =
            (program.parent_path() / relatives.substr(start, end - start)).lexically_normal();
        if (fs::exists(directory / kHostLibrary, error)) {
            return directory.string();
        }
        looked += (looked.empty() ? "" : ", ") + directory.string();
        start = end + 1;
    }
    throw host::HostFailure(std::string("the program is incomplete: ") + kHostLibrary + " is in none of " +
                            looked);
}

int runInHost(const host::CommandLine& line) {
    const std::string directory = findLibraryDirectory();
    void* library = host::openProgramLibrary(directory, kHostLibrary, "trillbox");
    using Entry = int(const host::CommandLine&);
    auto* entry =
        reinterpret_cast<Entry*>(host::programLibrarySymbol(library, "trillbox_host_main", kHostLibrary));
    return entry(line);
}

// Takes each of the standard descriptors that is closed with /dev/null opened for
// reading only, so that no file the program opens gets one and receives what is
// meant for the output, and a write to it still fails as on a closed one (EBADF).
void takeClosedStandardDescriptors() {
    // Each is taken in turn, so the lowest free descriptor is the one opened.
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF) {
            ::open("/dev/null", O_RDONLY);
        }
    }
}

// `status`, or 1 after a one-line error when what was written to standard output
// did not all get there. A run that failed has said so already.
int checkStandardOutput(int status) {
    errno = 0;
    std::cout.flush();
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !std::cout;
    if (!failed || status != 0) {
        return status;
    }
    std::cerr << "trillbox: cannot write standard output: " << std::strerror(errno != 0 ? errno : EIO)
              << '\n';
    return 1;
}

int runCommandLine(int argc, char** argv) {
    std::string commandName;
    try {
        const host::CommandLine line =
            host::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        commandName = line.command;
        const host::CommandHelp* command =
            line.command.empty() ? nullptr : host::findCommandHelp(line.command);
        if (!line.command.empty() && !command) {
            throw host::UsageFailure("unknown command \"" + line.command + "\"");
        }
        if (line.help) {
            if (command) {
                host::printCommandHelp(*command, std::cout);
            } else {
                host::printProgramHelp(std::cout);
            }
            return 0;
        }
        if (line.version) {
            std::cout << "trillbox " << TRILLBOX_VERSION << '\n';
            return 0;
        }
        return runInHost(line);
    } catch (const std::exception& failure) {
        return host::reportFailure(failure, std::cerr, commandName);
    }
}

} // namespace

int main(int argc, char** argv) {
    takeClosedStandardDescriptors();
    return checkStandardOutput(runCommandLine(argc, argv));
}
