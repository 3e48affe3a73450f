#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "HostFailure.h"
#include "support/TestSupport.h"
#include "window/ArtworkSaver.h"

namespace {

namespace fs = std::filesystem;
using host::artworkDirectory;
using host::picturesDirectory;
using host::saveUniquePng;

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A home directory of its own and an environment that points into it.
class ArtworkDirectoryTest : public ::testing::Test {
protected:
    host::EnvironmentLookup environment() const {
        return [this](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        };
    }
    std::string makeDirectory(const std::string& relative) const {
        fs::create_directories(home.file(relative));
        return home.file(relative);
    }
    void writeUserDirs(const std::string& contents) const { home.write(".config/user-dirs.dirs", contents); }

    TemporaryDirectory home;
    std::map<std::string, std::string> variables{{"HOME", home.path()}};
};

TEST_F(ArtworkDirectoryTest, PicturesDirectoryComesFromTheUserDirectoriesFile) {
    const std::string pictures = makeDirectory("Bilder");
    makeDirectory("Pictures");
    writeUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                  "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"
                  "XDG_MUSIC_DIR=\"$HOME/Musik\"\n");
    EXPECT_EQ(picturesDirectory(environment()), pictures);
    EXPECT_EQ(artworkDirectory(environment()), pictures);
}

TEST_F(ArtworkDirectoryTest, TheFileIsReadAsTheShellWouldReadIt) {
    const std::string absolute = makeDirectory("elsewhere/Pics");
    makeDirectory("Bilder");
    // Leading blanks, an absolute path, a later line winning, lines that are not
    // assignments of a quoted path skipped.
    writeUserDirs("  XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"
                  "XDG_PICTURES_DIR=\"" +
                  absolute +
                  "\"\r\n"
                  "XDG_PICTURES_DIR=relative/unquoted\n"
                  "XDG_PICTURES_DIR=\"relative\"\n"
                  "#XDG_PICTURES_DIR=\"$HOME\"\n");
    EXPECT_EQ(picturesDirectory(environment()), absolute);
    // XDG_CONFIG_HOME moves the file.
    TemporaryDirectory config;
    config.write("user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n");
    variables["XDG_CONFIG_HOME"] = config.path();
    const std::string fotos = makeDirectory("Fotos");
    EXPECT_EQ(picturesDirectory(environment()), fotos);
}

TEST_F(ArtworkDirectoryTest, WithoutTheFileTheEnvironmentThenPicturesInHomeCount) {
    const std::string pictures = makeDirectory("Pictures");
    EXPECT_EQ(picturesDirectory(environment()), pictures);
    const std::string fromEnvironment = makeDirectory("Images");
    variables["XDG_PICTURES_DIR"] = fromEnvironment;
    EXPECT_EQ(picturesDirectory(environment()), fromEnvironment);
}

TEST_F(ArtworkDirectoryTest, NoPicturesDirectoryMeansTheDataDirectory) {
    // Set to the home directory itself: the user has none.
    makeDirectory("Pictures");
    writeUserDirs("XDG_PICTURES_DIR=\"$HOME/\"\n");
    EXPECT_EQ(picturesDirectory(environment()), "");
    EXPECT_EQ(artworkDirectory(environment()), home.file(".local/share/trillbox"));
    // Named but missing.
    writeUserDirs("XDG_PICTURES_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(picturesDirectory(environment()), "");
    variables["XDG_DATA_HOME"] = home.file("data");
    EXPECT_EQ(artworkDirectory(environment()), home.file("data/trillbox"));
    // No home at all.
    variables.clear();
    EXPECT_EQ(picturesDirectory(environment()), "");
    EXPECT_EQ(artworkDirectory(environment()), "./.local/share/trillbox");
}

TEST(SaveUniquePng, AnExistingFileIsNeverReplaced) {
    TemporaryDirectory directory;
    const std::vector<unsigned char> first{1, 2, 3};
    const std::vector<unsigned char> second{4, 5};
    const std::vector<unsigned char> third{6};
    directory.write("art.png", "someone else's");
    EXPECT_EQ(saveUniquePng(directory.path(), "art", first), directory.file("art-2.png"));
    EXPECT_EQ(saveUniquePng(directory.path(), "art", second), directory.file("art-3.png"));
    directory.write("art-4.png", "");
    EXPECT_EQ(saveUniquePng(directory.path(), "art", third), directory.file("art-5.png"));
    EXPECT_EQ(readAll(directory.file("art.png")), "someone else's");
    EXPECT_EQ(readAll(directory.file("art-2.png")), std::string("\1\2\3"));
    EXPECT_EQ(readAll(directory.file("art-3.png")), std::string("\4\5"));
    EXPECT_EQ(readAll(directory.file("art-5.png")), std::string("\6"));
}

TEST(SaveUniquePng, CreatesTheDirectoryOrSaysWhyItCannot) {
    TemporaryDirectory base;
    const std::string nested = base.file("a/b/c");
    EXPECT_EQ(saveUniquePng(nested, "art", {9}), nested + "/art.png");

    base.write("file", "in the way");
    try {
        saveUniquePng(base.file("file/sub"), "art", {9});
        FAIL() << "saved under a file";
    } catch (const host::HostFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find(base.file("file/sub")), std::string::npos)
            << failure.what();
    }
}

} // namespace
