#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/HostFailure.h"
#include "support/TestSupport.h"
#include "window/ArtworkSaver.h"

namespace {

// "~" stands for the test's home directory.
std::string expand(std::string text, const std::string& home) {
    for (std::size_t at; (at = text.find('~')) != std::string::npos;) {
        text.replace(at, 1, home);
    }
    return text;
}

struct Case {
    std::string userDirs;                         // the user directories file; none when empty
    std::map<std::string, std::string> variables; // besides HOME
    // Where artwork goes: the pictures directory, or without one the data directory.
    std::string artwork;
};

TEST(ArtworkDirectory, ThePicturesDirectoryTheUserNamesOrElseTheDataDirectory) {
    const std::vector<Case> cases = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", {}, "~/Bilder"},
        // Read as the shell reads it: blanks before, the last assignment of a quoted
        // path winning, other lines skipped.
        {"  XDG_PICTURES_DIR=\"$HOME/Bilder\"\nXDG_PICTURES_DIR=\"~/Other/Pics\"\r\n"
         "XDG_PICTURES_DIR=unquoted\nXDG_PICTURES_DIR=\"relative\"\n#XDG_PICTURES_DIR=\"$HOME\"\n",
         {},
         "~/Other/Pics"},
        {"XDG_PICTURES_DIR=\"$HOME/Fotos\"\n", {{"XDG_CONFIG_HOME", "~/conf"}}, "~/Fotos"},
        {"", {}, "~/Pictures"},
        {"", {{"XDG_PICTURES_DIR", "~/Images"}}, "~/Images"},
        // The home directory itself, or one that is missing: the user has none.
        {"XDG_PICTURES_DIR=\"$HOME/\"\n", {}, "~/.local/share/trillbox"},
        {"XDG_PICTURES_DIR=\"$HOME/Gone\"\n", {{"XDG_DATA_HOME", "~/data"}}, "~/data/trillbox"},
        {"", {{"HOME", ""}}, "./.local/share/trillbox"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.userDirs + ::testing::PrintToString(test.variables));
        TemporaryDirectory home;
        for (const char* directory : {"Bilder", "Other/Pics", "Fotos", "Pictures", "Images"}) {
            std::filesystem::create_directories(home.file(directory));
        }
        std::map<std::string, std::string> variables{{"HOME", home.path()}};
        for (const auto& [name, value] : test.variables) {
            variables[name] = expand(value, home.path());
        }
        if (!test.userDirs.empty()) {
            const std::string config = variables.contains("XDG_CONFIG_HOME") ? "conf" : ".config";
            home.write(config + "/user-dirs.dirs", expand(test.userDirs, home.path()));
        }
        const host::EnvironmentLookup environment = [&](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        };
        const std::string artwork = expand(test.artwork, home.path());
        EXPECT_EQ(host::artworkDirectory(environment), artwork);
        EXPECT_EQ(host::picturesDirectory(environment), artwork.ends_with("/trillbox") ? "" : artwork);
    }
}

TEST(SaveUniquePng, AnExistingFileIsNeverReplacedAndAMissingDirectoryIsCreated) {
    TemporaryDirectory base;
    const std::string directory = base.file("a/b");
    EXPECT_EQ(host::saveUniquePng(directory, "art", {1}), directory + "/art.png");
    base.write("a/b/art-3.png", "someone else's");
    EXPECT_EQ(host::saveUniquePng(directory, "art", {2}), directory + "/art-2.png");
    EXPECT_EQ(host::saveUniquePng(directory, "art", {3, 4}), directory + "/art-4.png");
    EXPECT_EQ(readFile(directory + "/art.png") + readFile(directory + "/art-2.png") +
                  readFile(directory + "/art-3.png") + readFile(directory + "/art-4.png"),
              "\1\2someone else's\3\4");
    // A file where the directory should be is named.
    base.write("file", "in the way");
    EXPECT_THAT([&] { host::saveUniquePng(base.file("file/sub"), "art", {9}); },
                ::testing::ThrowsMessage<host::HostFailure>(::testing::HasSubstr(base.file("file/sub"))));
}

} // namespace
