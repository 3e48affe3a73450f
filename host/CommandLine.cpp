#include "host/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>

#include "host/CommandHelp.h"
#include "host/HostFailure.h"

namespace host {
namespace {

// The largest --scale: a 320-point widget is then 2560 pixels wide.
constexpr double kLargestScale = 8;

bool startsOption(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '-') {
        return false;
    }
    // "-5" and "-.5" are values, which a command may take as its arguments.
    return !std::isdigit(static_cast<unsigned char>(argument[1])) && argument[1] != '.';
}

// Splits "--name=value" into its parts; `value` is untouched without '='.
std::string optionName(const std::string& argument, std::optional<std::string>& value) {
    const auto equals = argument.find('=');
    if (equals == std::string::npos || !argument.starts_with("--")) {
        return argument;
    }
    value = argument.substr(equals + 1);
    return argument.substr(0, equals);
}

// Applies the shared option `name`, taking its value from `takeValue`; answers
// false when `name` is not one of them. Throws UsageFailure for a bad value.
bool applySharedOption(CommandLine& line, const std::string& name,
                       const std::function<std::string()>& takeValue) {
    if (name == "--help" || name == "-h") {
        line.help = true;
    } else if (name == "--version") {
        line.version = true;
    } else if (name == "--device-root") {
        line.host.deviceRoot = takeValue();
        if (line.host.deviceRoot.empty()) {
            throw UsageFailure("--device-root needs a directory");
        }
    } else if (name == "--bundle") {
        line.host.bundlePath = takeValue();
        if (line.host.bundlePath.empty()) {
            throw UsageFailure("--bundle needs a path");
        }
    } else if (name == "--playlist") {
        line.host.playlistPath = takeValue();
        if (line.host.playlistPath.empty()) {
            throw UsageFailure("--playlist needs a file");
        }
    } else if (name == "--player") {
        applyPlayerValue(line.host, takeValue(), "--player");
        line.playerGiven = true;
    } else if (name == "--ignore-player") {
        line.host.players.ignored = parsePlayerNames(takeValue(), "--ignore-player");
        line.ignoredGiven = true;
    } else if (name == "--legacy") {
        line.host.legacy = true;
    } else if (name == "--scale") {
        line.host.scale = parseScale(takeValue(), "--scale");
        line.scaleGiven = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    // The first problem is reported once the whole line is read, so that the
    // error can name the command even when the problem stands before it.
    std::optional<std::string> problem;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (argument == "--") {
            line.arguments.insert(line.arguments.end(), arguments.begin() + static_cast<long>(index) + 1,
                                  arguments.end());
            break;
        }
        if (!startsOption(argument)) {
            if (line.command.empty()) {
                line.command = argument;
            } else {
                line.arguments.push_back(argument);
            }
            continue;
        }
        std::optional<std::string> inlineValue;
        const std::string name = optionName(argument, inlineValue);
        const auto takeValue = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (index + 1 >= arguments.size()) {
                throw UsageFailure(name + " needs a value");
            }
            return arguments[++index];
        };
        try {
            if (!applySharedOption(line, name, takeValue)) {
                // The command's own option; its value (if any) follows it.
                line.arguments.push_back(argument);
            }
        } catch (const UsageFailure& failure) {
            problem = problem.value_or(failure.what());
        }
    }
    if (!line.host.playlistPath.empty()) {
        if (line.host.player == PlayerKind::mpris && !problem) {
            problem = "--playlist plays the demo player; it cannot go with --player mpris";
        }
        line.playerGiven = true;
    }
    if (problem) {
        throw CommandLineFailure(*problem, line.command);
    }
    return line;
}

void applyPlayerValue(HostOptions& options, std::string_view value, std::string_view what) {
    constexpr std::string_view kNamed = "mpris:";
    if (value == "demo" || value == "mpris") {
        options.player = value == "demo" ? PlayerKind::demo : PlayerKind::mpris;
        options.players.names.clear();
    } else if (value.starts_with(kNamed) && value.size() > kNamed.size()) {
        options.players.names = parsePlayerNames(value.substr(kNamed.size()), what);
        options.player = PlayerKind::mpris;
    } else {
        throw UsageFailure(std::string(what) + " is demo, mpris or mpris:NAME, not \"" + std::string(value) +
                           "\"");
    }
}

std::vector<std::string> parsePlayerNames(std::string_view value, std::string_view what) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start <= value.size();) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        // "vlc, mpv" is two names; spaces inside a name ("VLC media player") are its own.
        std::string_view name = value.substr(start, end - start);
        name.remove_prefix(std::min(name.size(), name.find_first_not_of(' ')));
        name.remove_suffix(name.size() - std::min(name.size(), name.find_last_not_of(' ') + 1));
        if (name.empty()) {
            throw UsageFailure(std::string(what) + " takes names separated by commas, not \"" +
                               std::string(value) + "\"");
        }
        names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

double parseScale(std::string_view value, std::string_view what) {
    const double scale = parseNumber(value, what);
    if (scale <= 0 || scale > kLargestScale) {
        throw UsageFailure(std::string(what) + " must lie above 0 and at most 8, not " + std::string(value));
    }
    return scale;
}

CommandArguments::CommandArguments(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& valued,
                                   const std::vector<std::string>& flags) {
    const auto contains = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string& argument = arguments[index];
        if (!startsOption(argument)) {
            _positional.push_back(argument);
            continue;
        }
        std::optional<std::string> inlineValue;
        const std::string name = optionName(argument, inlineValue);
        if (contains(flags, name) && !inlineValue) {
            _options.emplace_back(name, "");
        } else if (contains(valued, name)) {
            if (!inlineValue && index + 1 >= arguments.size()) {
                throw UsageFailure(name + " needs a value");
            }
            _options.emplace_back(name, inlineValue ? *inlineValue : arguments[++index]);
        } else {
            throw UsageFailure("unknown option " + argument);
        }
    }
}

bool CommandArguments::has(const std::string& option) const {
    return std::any_of(_options.begin(), _options.end(),
                       [&](const auto& entry) { return entry.first == option; });
}

std::string CommandArguments::value(const std::string& option, const std::string& fallback) const {
    // The last one given wins, as with the shared options.
    for (auto entry = _options.rbegin(); entry != _options.rend(); ++entry) {
        if (entry->first == option) {
            return entry->second;
        }
    }
    return fallback;
}

double parseNumber(std::string_view word, std::string_view what) {
    std::string_view digits = word;
    // from_chars takes no leading '+'.
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') {
        digits.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
        !std::isfinite(value)) {
        throw UsageFailure(std::string(what) + " must be a number, not \"" + std::string(word) + "\"");
    }
    return value;
}

int reportFailure(const std::exception& failure, std::ostream& errors, const std::string& command) {
    errors << "trillbox: " << failure.what() << '\n';
    if (!dynamic_cast<const UsageFailure*>(&failure)) {
        return 1;
    }
    const auto* lineFailure = dynamic_cast<const CommandLineFailure*>(&failure);
    const std::string& named = lineFailure ? lineFailure->command() : command;
    errors << "Try 'trillbox " << (findCommandHelp(named) ? named + " " : std::string()) << "--help'.\n";
    return 2;
}

} // namespace host
