#pragma once

#include <exception>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostFailure.h"
#include "host/HostOptions.h"

namespace host {

// The program's command line: the options every command takes, which may stand
// before or after the command name, the command and its own arguments.
//
//   --device-root DIR  --bundle PATH  --playlist FILE
//   --player demo|mpris[:NAME[,NAME...]]  --ignore-player NAME[,NAME...]
//   --legacy  --scale N
//
// Options take their value as the next argument or after '=' (--scale=2).
struct CommandLine {
    HostOptions host;
    // --scale was given: the window then keeps to it, even when it is the default.
    bool scaleGiven = false;
    // --player or --playlist (which plays the demo player) was given: the window
    // then keeps to it instead of looking for a session bus.
    bool playerGiven = false;
    // --ignore-player was given.
    bool ignoredGiven = false;
    // Empty when none was given.
    std::string command;
    // The command's own arguments and options, in order.
    std::vector<std::string> arguments;
    bool help = false;
    bool version = false;
};

// A command line that cannot be understood, with the command it names (empty
// when it names none), so that the error can point to that command's help.
class CommandLineFailure : public UsageFailure {
public:
    CommandLineFailure(const std::string& message, std::string command)
        : UsageFailure(message), _command(std::move(command)) {}
    const std::string& command() const { return _command; }

private:
    std::string _command;
};

// Parses `arguments` (without the program name). A word that starts with '-'
// and then a digit or '.' ("-5", "-.5") is a negative number, not an option.
// Throws CommandLineFailure for a shared option without its value or with a bad
// one, or for --playlist with --player mpris, naming the first such problem.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Sets `options`' player from a --player value: "demo", "mpris" (every player) or
// "mpris:NAME[,NAME...]" (a priority list). Throws UsageFailure naming `what`.
void applyPlayerValue(HostOptions& options, std::string_view value, std::string_view what);

// The names of a comma-separated list, in order; throws UsageFailure naming
// `what` when one of them is empty.
std::vector<std::string> parsePlayerNames(std::string_view value, std::string_view what);

// A scale: a number above 0 and at most 8; throws UsageFailure naming `what` otherwise.
double parseScale(std::string_view value, std::string_view what);

// Prints `failure` as the program's one-line error ("trillbox: ..."), after a
// UsageFailure with a pointer to the help of `command` (when it names one) or of
// the program; answers the exit status (2 for usage, 1 otherwise).
int reportFailure(const std::exception& failure, std::ostream& errors, const std::string& command = "");

// The number `word` spells (decimal, optionally signed, finite); throws
// UsageFailure naming `what` otherwise.
double parseNumber(std::string_view word, std::string_view what);

// A command's own options: flags, valued options and positional arguments.
class CommandArguments {
public:
    // `valued` lists the options that take a value, `flags` those that do not.
    CommandArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& valued,
                     const std::vector<std::string>& flags);
    bool has(const std::string& option) const;
    // The option's value, or `fallback` when it was not given.
    std::string value(const std::string& option, const std::string& fallback = "") const;
    const std::vector<std::string>& positional() const { return _positional; }

private:
    std::vector<std::pair<std::string, std::string>> _options;
    std::vector<std::string> _positional;
};

} // namespace host
