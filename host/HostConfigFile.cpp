#include "host/HostConfigFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "Foundation/NSFileDescriptor.h"
#include "host/HostFailure.h"

namespace host {
namespace {

// A configuration file is a few lines; anything much larger is not one.
constexpr std::size_t kLargestConfigFile = 64 * 1024;

std::string_view trimmedConfigText(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r";
    const auto first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// What the file says, before it meets the command line.
struct ConfiguredOptions {
    std::optional<HostOptions> player;
    std::optional<std::vector<std::string>> ignored;
    std::optional<double> scale;
};

// Takes one `key = value` line into `configured`; throws UsageFailure saying what is wrong with it.
void takeConfigLine(std::string_view entry, ConfiguredOptions& configured) {
    const auto equals = entry.find('=');
    if (equals == std::string_view::npos) {
        throw UsageFailure("expected key = value, not \"" + std::string(entry) + "\"");
    }
    const std::string_view key = trimmedConfigText(entry.substr(0, equals));
    const std::string_view value = trimmedConfigText(entry.substr(equals + 1));
    if (key == "player") {
        HostOptions options;
        applyPlayerValue(options, value, key);
        configured.player = options;
    } else if (key == "ignore-player") {
        configured.ignored = parsePlayerNames(value, key);
    } else if (key == "scale") {
        configured.scale = parseScale(value, key);
    } else {
        throw UsageFailure("unknown key \"" + std::string(key) + "\"");
    }
}

} // namespace

std::string hostConfigFilePath(const std::function<const char*(const char*)>& variable) {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (const char* configHome = variable("XDG_CONFIG_HOME"); configHome && *configHome == '/') {
        return std::string(configHome) + "/trillbox/config";
    }
    if (const char* home = variable("HOME"); home && *home) {
        return std::string(home) + "/.config/trillbox/config";
    }
    return "";
}

void applyHostConfig(std::string_view text, CommandLine& line, std::ostream& warnings) {
    ConfiguredOptions configured;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view entry = trimmedConfigText(text.substr(0, end));
        text.remove_prefix(std::min(text.size(), end + 1));
        ++number;
        if (entry.empty() || entry.front() == '#') {
            continue;
        }
        try {
            takeConfigLine(entry, configured);
        } catch (const UsageFailure& failure) {
            warnings << "trillbox: config line " << number << ": " << failure.what() << '\n';
        }
    }
    if (configured.player && !line.playerGiven) {
        line.host.player = configured.player->player;
        line.host.players.names = configured.player->players.names;
        line.playerGiven = true;
    }
    if (configured.ignored && !line.ignoredGiven) {
        line.host.players.ignored = *configured.ignored;
        line.ignoredGiven = true;
    }
    if (configured.scale && !line.scaleGiven) {
        line.host.scale = *configured.scale;
        line.scaleGiven = true;
    }
}

void applyHostConfigFile(const std::string& path, CommandLine& line, std::ostream& warnings) {
    if (path.empty()) {
        return;
    }
    const NSFileContents contents = NSReadWholeFile(path, kLargestConfigFile);
    if (!contents.bytes) {
        if (contents.error != ENOENT && contents.error != ENOTDIR) {
            const std::string reason = contents.error == EINVAL  ? "not a regular file"
                                       : contents.error == EFBIG ? "too large for a config file"
                                                                 : std::strerror(contents.error);
            warnings << "trillbox: cannot read the config file " << path << ": " << reason << '\n';
        }
        return;
    }
    const auto& bytes = *contents.bytes;
    applyHostConfig(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), line,
                    warnings);
}

} // namespace host
