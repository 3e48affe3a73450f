#include "Foundation/NSFileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

NSFileDescriptor& NSFileDescriptor::operator=(NSFileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        _fd = other.release();
    }
    return *this;
}

int NSFileDescriptor::release() {
    return std::exchange(_fd, -1);
}

BOOL NSFileDescriptor::close() {
    if (_fd < 0) {
        return YES;
    }
    // Linux releases the descriptor even when close is interrupted, so it is never retried.
    return ::close(std::exchange(_fd, -1)) == 0;
}

ssize_t NSFileDescriptor::readSome(void* buffer, std::size_t length) const {
    for (;;) {
        const ssize_t got = ::read(_fd, buffer, length);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

BOOL NSFileDescriptor::writeAll(const void* bytes, std::size_t length) const {
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (length > 0) {
        const ssize_t written = ::write(_fd, next, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return NO;
        }
        next += written;
        length -= static_cast<std::size_t>(written);
    }
    return YES;
}

NSFileContents NSReadWholeFile(const std::string& path, std::size_t maxBytes) {
    const NSFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat status {};
    if (!file.valid() || ::fstat(file.get(), &status) != 0) {
        return {std::nullopt, errno};
    }
    if (!S_ISREG(status.st_mode)) {
        return {std::nullopt, EINVAL};
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size > maxBytes) {
        return {std::nullopt, EFBIG};
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        const ssize_t got = file.readSome(buffer, sizeof buffer);
        if (got < 0) {
            return {std::nullopt, errno};
        }
        if (got == 0) {
            return {std::move(bytes), 0};
        }
        // The file may have grown since it was measured.
        if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) {
            return {std::nullopt, EFBIG};
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}
