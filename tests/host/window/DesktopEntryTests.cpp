#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/TestSupport.h"
#include "support/Process.h"
#include "support/TestPaths.h"

namespace {

namespace fs = std::filesystem;

using Section = std::map<std::string, std::string>;

// The groups of a desktop entry file, each a map of its keys.
std::map<std::string, Section> readDesktopEntry(const std::string& path) {
    std::map<std::string, Section> groups;
    std::ifstream file(path);
    std::string group;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            groups[group][line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return groups;
}

int runCMake(const std::vector<std::string>& arguments) {
    std::string command = TRILLBOX_CMAKE;
    for (const auto& argument : arguments) {
        command += " '" + argument + "'";
    }
    return std::system((command + " > /dev/null").c_str());
}

std::string firstWord(const std::string& text) {
    std::istringstream words(text);
    std::string word;
    words >> word;
    return word;
}

// What `cmake --install` puts in place for the desktop: the program, its desktop
// entry and the icon the entry names.
TEST(DesktopEntry, InstallsWithTheProgramAndTheIconItNames) {
    TemporaryDirectory prefix;
    for (const char* directory : {"data", "resources", "host"}) {
        ASSERT_EQ(runCMake({"-DCMAKE_INSTALL_PREFIX=" + prefix.path(), "-P",
                            std::string(TRILLBOX_BUILD_DIR) + "/" + directory + "/cmake_install.cmake"}),
                  0)
            << directory;
    }
    const std::string entryPath = prefix.file("share/applications/trillbox.desktop");
    ASSERT_TRUE(fs::exists(entryPath));
    const auto groups = readDesktopEntry(entryPath);
    ASSERT_TRUE(groups.contains("Desktop Entry"));
    const Section& entry = groups.at("Desktop Entry");
    EXPECT_EQ(entry.at("Type"), "Application");
    EXPECT_EQ(entry.at("Name"), "Trillbox");
    EXPECT_EQ(entry.at("Terminal"), "false");
    EXPECT_TRUE(entry.at("Categories").ends_with(";"));

    // Every command it runs is the installed program.
    std::vector<std::string> commands{entry.at("Exec")};
    std::istringstream actions(entry.at("Actions"));
    for (std::string action; std::getline(actions, action, ';');) {
        ASSERT_TRUE(groups.contains("Desktop Action " + action)) << action;
        commands.push_back(groups.at("Desktop Action " + action).at("Exec"));
    }
    for (const auto& command : commands) {
        const fs::path program = fs::path(prefix.path()) / "bin" / firstWord(command);
        struct stat info {};
        EXPECT_EQ(::stat(program.c_str(), &info), 0) << command;
        EXPECT_TRUE(info.st_mode & S_IXUSR) << command;
    }

    // The icon theme has the named icon, in the sizes a menu asks for.
    for (const char* size : {"48x48", "128x128", "256x256"}) {
        EXPECT_TRUE(fs::exists(
            prefix.file("share/icons/hicolor/" + std::string(size) + "/apps/" + entry.at("Icon") + ".png")))
            << size;
    }
}

TEST(DesktopEntry, TheCommandsItRunsAreOnesTheProgramKnows) {
    const auto groups = readDesktopEntry(TRILLBOX_SOURCE_DIR "/data/trillbox.desktop");
    for (const auto& [name, group] : groups) {
        if (!group.contains("Exec")) {
            continue;
        }
        // The same command with --help answers its help instead of opening a window.
        std::istringstream words(group.at("Exec"));
        std::vector<std::string> arguments;
        for (std::string word; words >> word;) {
            arguments.push_back(word);
        }
        arguments.erase(arguments.begin());
        arguments.push_back("--help");
        const ProcessResult result = runTrillbox(arguments);
        EXPECT_EQ(result.exitStatus, 0) << name << ": " << result.err;
        EXPECT_NE(result.out.find("Usage: trillbox [run]"), std::string::npos) << name;
    }
}

} // namespace
