#pragma once

#include <cstdint>
#include <vector>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// An immutable run of bytes.
class NSData : public NSObject {
public:
    static Ptr<NSData> data() { return dataWithBytes(nullptr, 0); }
    static Ptr<NSData> dataWithBytes(const void* bytes, NSUInteger length);
    static Ptr<NSData> dataWithVector(std::vector<std::uint8_t> bytes);
    // The bytes of a regular file, or nil when it is missing, unreadable or not a
    // regular file (a directory, a pipe). Device paths resolve under the device root.
    static Ptr<NSData> dataWithContentsOfFile(const Ptr<NSString>& path);

    const std::uint8_t* bytes() const { return _bytes.data(); }
    NSUInteger length() const { return _bytes.size(); }

    // Writes the bytes to `path` (device paths resolve) and answers whether that
    // worked. Atomically: through a temporary file in the same directory, renamed
    // over the target, so readers see the old or the new file and never a part;
    // the temporary file is removed on failure. Missing directories are not
    // created (NSFileManager does that) and make the write fail.
    BOOL writeToFile(const Ptr<NSString>& path, BOOL atomically) const;

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    // "<01020304 05>": hexadecimal in groups of four bytes.
    std::string description() const override;

private:
    std::vector<std::uint8_t> _bytes;
};
