#include "support/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>
#include <utility>

#include "Foundation/NSRunLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/TestPaths.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// How often a process or a condition is looked at while waiting for it.
constexpr auto kProcessLookInterval = std::chrono::milliseconds(20);

// Where the output of every child of this test process goes.
const TemporaryDirectory& outputDirectory() {
    static TemporaryDirectory directory;
    return directory;
}

std::string freshOutputPath(const char* kind) {
    static int count = 0;
    return outputDirectory().file(std::to_string(++count) + "." + kind);
}

// Starts `argv` with its standard streams on files; -1 when fork failed.
pid_t spawn(const std::vector<std::string>& argv, const ProcessSetup& setup, const std::string& inPath,
            const std::string& outPath, const std::string& errPath) {
    // Artwork a child fetches is kept here, never in the developer's own cache.
    static const TemporaryDirectory cacheHome;
    // A sound server's socket where none listens: a child never turns the developer's
    // own volume, unless its test names a server of its own.
    static const std::string noSoundServer = "unix:" + cacheHome.file("no-sound-server");
    std::vector<std::string> arguments = argv;
    std::vector<char*> pointers;
    for (auto& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    const int in = ::open(inPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) {
        ::_exit(127);
    }
    if (!setup.directory.empty() && ::chdir(setup.directory.c_str()) != 0) {
        ::_exit(127);
    }
    ::setenv("XDG_CACHE_HOME", cacheHome.path().c_str(), 1);
    ::setenv("PULSE_SERVER", noSoundServer.c_str(), 1);
    for (const auto& [name, value] : setup.environment) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    ::setpgid(0, 0);
    ::execvp(pointers[0], pointers.data());
    ::_exit(127);
}

std::string inputFile(const std::string& input) {
    if (input.empty()) {
        return "/dev/null";
    }
    const std::string path = freshOutputPath("in");
    outputDirectory().write(std::filesystem::path(path).filename().string(), input);
    return path;
}

// Waits up to `seconds` for `pid`; its raw wait status, or nothing.
std::optional<int> reapWithin(pid_t pid, double seconds) {
    const auto deadline = SteadyClock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return status;
        }
        if (done < 0 || SteadyClock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kProcessLookInterval);
    }
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

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessSetup& setup) {
    ProcessResult result;
    const std::string inPath = inputFile(setup.input);
    const std::string outPath = freshOutputPath("out");
    const std::string errPath = freshOutputPath("err");
    const pid_t pid = spawn(argv, setup, inPath, outPath, errPath);
    if (pid < 0) {
        return result;
    }
    auto status = reapWithin(pid, setup.seconds);
    if (!status) {
        result.timedOut = true;
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        status = reapWithin(pid, 10);
    }
    if (status && WIFEXITED(*status) && !result.timedOut) {
        result.exitStatus = WEXITSTATUS(*status);
    } else if (status && WIFSIGNALED(*status)) {
        result.signal = WTERMSIG(*status);
    }
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    for (const auto& path : {inPath, outPath, errPath}) {
        if (path != "/dev/null") {
            std::remove(path.c_str());
        }
    }
    return result;
}

ProcessResult runTrillbox(const std::vector<std::string>& arguments, const ProcessSetup& setup) {
    std::vector<std::string> argv = {TRILLBOX_BINARY};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // The developer's own configuration file must not change what a test sees.
    static const TemporaryDirectory emptyConfigHome;
    ProcessSetup isolated = setup;
    isolated.environment.emplace("XDG_CONFIG_HOME", emptyConfigHome.path());
    return runProcess(argv, isolated);
}

ChildProcess ChildProcess::start(const std::vector<std::string>& argv, const ProcessSetup& setup) {
    ChildProcess child;
    child._outPath = freshOutputPath("out");
    child._errPath = freshOutputPath("err");
    child._pid = spawn(argv, setup, inputFile(setup.input), child._outPath, child._errPath);
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept {
    *this = std::move(other);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        _pid = std::exchange(other._pid, -1);
        _status = std::exchange(other._status, std::nullopt);
        _outPath = std::move(other._outPath);
        _errPath = std::move(other._errPath);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    stop();
}

std::optional<int> ChildProcess::wait(double seconds) {
    if (!_status && _pid > 0) {
        if (const auto status = reapWithin(_pid, seconds)) {
            _status = WIFEXITED(*status) ? WEXITSTATUS(*status) : -WTERMSIG(*status);
        }
    }
    return _status;
}

std::optional<int> ChildProcess::terminate(double seconds) {
    if (!_status && _pid > 0) {
        ::kill(_pid, SIGTERM);
    }
    return wait(seconds);
}

void ChildProcess::stop() {
    if (_pid > 0 && !_status && !terminate(2)) {
        ::kill(_pid, SIGKILL);
        wait(10);
    }
}

std::string ChildProcess::out() const {
    return readFile(_outPath);
}

std::string ChildProcess::err() const {
    return readFile(_errPath);
}

bool waitUntil(const std::function<bool()>& condition, double seconds) {
    // Conditions often change outside this process, with nothing to wake the run
    // loop: look again every 20 ms until the deadline.
    auto* loop = NSRunLoop::mainRunLoop();
    const auto deadline = SteadyClock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) {
            return true;
        }
        if (SteadyClock::now() >= deadline) {
            return condition();
        }
        NSRunLoop::TaskId tick = loop->scheduleAfter(0.02, [] {});
        loop->runUntil([&] { return condition() || SteadyClock::now() >= deadline; }, 0.02);
        loop->cancel(tick);
    }
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
