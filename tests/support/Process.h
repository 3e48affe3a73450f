#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// How a program is started: everything is optional.
struct ProcessSetup {
    // Working directory; empty: this process's.
    std::string directory;
    // Fed to standard input (empty: an empty input).
    std::string input;
    // Added to (or replacing in) this process's environment.
    std::map<std::string, std::string> environment;
    // runProcess kills the program after this long.
    double seconds = 60;
};

struct ProcessResult {
    // Its exit status; -1 when it did not start, ended by a signal or was killed.
    int exitStatus = -1;
    // The signal that ended it, 0 when it exited.
    int signal = 0;
    // It ran past ProcessSetup::seconds and was killed.
    bool timedOut = false;
    std::string out;
    std::string err;
    // The standard error's lines.
    std::vector<std::string> errorLines() const;
};

// Runs `argv` (looked up on PATH) to its end and answers what it printed.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessSetup& setup = {});

// Runs the trillbox program the build made, as a user runs it, with XDG_CONFIG_HOME an
// empty directory unless `setup` sets it.
ProcessResult runTrillbox(const std::vector<std::string>& arguments, const ProcessSetup& setup = {});

// A program running in the background, its output going to files. Stopped
// (SIGTERM, then SIGKILL after two seconds) when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    // Empty (false) when it could not start. ProcessSetup::seconds is not used.
    static ChildProcess start(const std::vector<std::string>& argv, const ProcessSetup& setup = {});
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    explicit operator bool() const { return _pid > 0; }
    pid_t pid() const { return _pid; }
    // Waits at most `seconds` for it to end; answers its exit status (-signal when
    // a signal ended it), or nothing while it still runs.
    std::optional<int> wait(double seconds);
    // SIGTERM, then waits at most `seconds`.
    std::optional<int> terminate(double seconds);
    // SIGTERM, then SIGKILL when it has not ended within two seconds.
    void stop();
    std::string out() const;
    std::string err() const;

private:
    pid_t _pid = -1;
    std::optional<int> _status;
    std::string _outPath;
    std::string _errPath;
};

// Asks `condition` until it holds or `seconds` have passed (real time), running the
// main run loop in between so that work posted to it goes on; answers the last answer.
bool waitUntil(const std::function<bool()>& condition, double seconds = 5);

// Every file and directory under `directory`, relative, sorted.
std::vector<std::string> filesUnder(const std::string& directory);
