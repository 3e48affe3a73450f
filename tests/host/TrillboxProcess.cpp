#include "TrillboxProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

std::vector<std::string> ProcessResult::errorLines() const {
    std::vector<std::string> lines;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

ProcessResult runTrillbox(const std::vector<std::string>& arguments, const ProcessSetup& setup) {
    // Output goes through files in a directory of its own, so that the working
    // directory a test watches sees only what the program writes.
    TemporaryDirectory capture;
    const std::string inputPath = capture.write("stdin", setup.input);
    const std::string outPath = capture.file("stdout");
    const std::string errPath = capture.file("stderr");

    std::vector<std::string> argv = {TRILLBOX_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(inputPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        if (!setup.directory.empty() && ::chdir(setup.directory.c_str()) != 0) {
            ::_exit(127);
        }
        for (const auto& [name, value] : setup.environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        ::execv(pointers[0], pointers.data());
        ::_exit(127);
    }
    ProcessResult result;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child) {
        if (WIFEXITED(status)) {
            result.exitStatus = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            result.signal = WTERMSIG(status);
        }
    }
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::vector<std::string> filesUnder(const std::string& directory) {
    std::vector<std::string> files;
    std::error_code error;
    for (auto entry = std::filesystem::recursive_directory_iterator(directory, error);
         !error && entry != std::filesystem::recursive_directory_iterator(); entry.increment(error)) {
        files.push_back(std::filesystem::relative(entry->path(), directory).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}
