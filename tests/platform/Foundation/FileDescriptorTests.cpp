#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "Foundation/NSFileDescriptor.h"
#include "support/TemporaryDirectory.h"

namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(FileDescriptorTest, ClosesOnceWhoeverHoldsItLast) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    NSFileDescriptor reader(ends[0]);
    {
        NSFileDescriptor writer(ends[1]);
        NSFileDescriptor moved(std::move(writer));
        EXPECT_FALSE(writer.valid());
        ASSERT_TRUE(moved.writeAll("abc", 3));
        NSFileDescriptor assigned;
        assigned = std::move(moved);
        EXPECT_TRUE(isOpen(ends[1]));
    }
    EXPECT_FALSE(isOpen(ends[1]));
    char buffer[8] = {};
    EXPECT_EQ(reader.readSome(buffer, sizeof buffer), 3);
    EXPECT_EQ(reader.readSome(buffer, sizeof buffer), 0); // the writer's end is closed
    const int released = reader.release();
    EXPECT_FALSE(reader.valid());
    EXPECT_TRUE(isOpen(released));
    ::close(released);
}

TEST(FileDescriptorTest, ReadsWholeRegularFilesAndSaysWhyNot) {
    const TemporaryDirectory directory;
    const std::string large(200 * 1024, 'x');
    directory.write("large", large);
    directory.write("empty", "");
    const std::string fifo = directory.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::size_t maxBytes;
        std::optional<std::string> contents;
        int error;
    } cases[] = {
        {directory.file("large"), large.size(), large, 0},
        {directory.file("large"), large.size() - 1, std::nullopt, EFBIG},
        {directory.file("empty"), 0, "", 0},
        {directory.file("missing"), 100, std::nullopt, ENOENT},
        {directory.path(), 100, std::nullopt, EINVAL},
        {fifo, 100, std::nullopt, EINVAL},
    };
    for (const auto& test : cases) {
        const NSFileContents read = NSReadWholeFile(test.path, test.maxBytes);
        EXPECT_EQ(read.bytes.has_value(), test.contents.has_value()) << test.path;
        if (read.bytes && test.contents) {
            EXPECT_EQ(std::string(read.bytes->begin(), read.bytes->end()), *test.contents) << test.path;
        }
        EXPECT_EQ(read.error, test.error) << test.path << " " << test.maxBytes;
    }
}

} // namespace
