#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/NSObject.h"

// Owns one open file descriptor and closes it when it goes. Move-only; -1 is empty.
class NSFileDescriptor {
public:
    NSFileDescriptor() = default;
    // Takes over `fd` (a negative one stays empty, so `NSFileDescriptor(::open(...))` is safe).
    explicit NSFileDescriptor(int fd) : _fd(fd < 0 ? -1 : fd) {}
    NSFileDescriptor(NSFileDescriptor&& other) noexcept : _fd(other.release()) {}
    NSFileDescriptor& operator=(NSFileDescriptor&& other) noexcept;
    NSFileDescriptor(const NSFileDescriptor&) = delete;
    NSFileDescriptor& operator=(const NSFileDescriptor&) = delete;
    ~NSFileDescriptor() { close(); }

    int get() const { return _fd; }
    BOOL valid() const { return _fd >= 0; }
    // Hands the descriptor to the caller, who must close it; this one is empty afterwards.
    int release();
    // Closes now; NO when the close failed (a write error may show only here), with
    // errno telling why. Empty afterwards either way; closing an empty one succeeds.
    BOOL close();

    // At most `length` bytes, read again when a signal interrupts the read: the count
    // read, 0 at the end of the file, -1 (errno set) on an error.
    ssize_t readSome(void* buffer, std::size_t length) const;
    // Writes all `length` bytes, going on after short and interrupted writes. NO on an
    // error, with errno telling why (ENOSPC when the file takes no more bytes).
    BOOL writeAll(const void* bytes, std::size_t length) const;

private:
    int _fd = -1;
};

// What reading a whole file gave: its bytes, or why there are none.
struct NSFileContents {
    std::optional<std::vector<std::uint8_t>> bytes;
    // An errno value when `bytes` is empty: EINVAL for something that is not a regular
    // file, EFBIG for one longer than the limit.
    int error = 0;
};

// The regular file at `path`, read to its end; fails for a file longer than
// `maxBytes`. Opened non-blocking, so a FIFO at `path` fails instead of stalling.
NSFileContents NSReadWholeFile(const std::string& path,
                               std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
