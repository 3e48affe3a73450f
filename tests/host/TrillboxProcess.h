#pragma once

#include <map>
#include <string>
#include <vector>

// The real trillbox program, run as a user runs it.
struct ProcessResult {
    int exitStatus = -1;
    // The signal that ended it, 0 when it exited.
    int signal = 0;
    std::string out;
    std::string err;
    // The standard error's lines.
    std::vector<std::string> errorLines() const;
};

struct ProcessSetup {
    // Working directory; empty: this process's.
    std::string directory;
    // Fed to standard input.
    std::string input;
    // Added to (or replacing in) the environment.
    std::map<std::string, std::string> environment;
};

// Runs TRILLBOX_BINARY with `arguments` and waits for it.
ProcessResult runTrillbox(const std::vector<std::string>& arguments, const ProcessSetup& setup = {});

// Every file and directory under `directory`, relative, sorted.
std::vector<std::string> filesUnder(const std::string& directory);
