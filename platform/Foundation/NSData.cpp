#include "Foundation/NSData.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSPathUtilities.h"

namespace {

bool writeDirectly(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    NSFileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    return file.valid() && file.writeAll(bytes.data(), bytes.size()) && file.close();
}

bool writeAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path target(path);
    if (target.filename().empty()) {
        return false;
    }
    const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    NSFileDescriptor file(::mkstemp(temporary.data()));
    if (!file.valid()) {
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    const bool written = ::fchmod(file.get(), mode) == 0 && file.writeAll(bytes.data(), bytes.size()) &&
                         ::fsync(file.get()) == 0 && file.close();
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

Ptr<NSData> NSData::dataWithBytes(const void* bytes, NSUInteger length) {
    auto data = alloc<NSData>();
    if (bytes && length > 0) {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        data->_bytes.assign(first, first + length);
    }
    return data;
}

Ptr<NSData> NSData::dataWithVector(std::vector<std::uint8_t> bytes) {
    auto data = alloc<NSData>();
    data->_bytes = std::move(bytes);
    return data;
}

Ptr<NSData> NSData::dataWithContentsOfFile(const Ptr<NSString>& path) {
    if (!path || path->length() == 0) {
        return nullptr;
    }
    NSFileContents contents = NSReadWholeFile(NSResolveDevicePath(path));
    return contents.bytes ? dataWithVector(std::move(*contents.bytes)) : nullptr;
}

BOOL NSData::writeToFile(const Ptr<NSString>& path, BOOL atomically) const {
    if (!path || path->length() == 0) {
        return NO;
    }
    const std::string resolved = NSResolveDevicePath(path);
    return atomically ? writeAtomically(resolved, _bytes) : writeDirectly(resolved, _bytes);
}

BOOL NSData::isEqual(const NSObject* other) const {
    const auto* data = dynamic_cast<const NSData*>(other);
    return data && data->_bytes == _bytes;
}

std::size_t NSData::hash() const {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(_bytes.data()), _bytes.size()));
}

std::string NSData::description() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "<";
    for (std::size_t i = 0; i < _bytes.size(); ++i) {
        if (i > 0 && i % 4 == 0) {
            out += ' ';
        }
        out += kDigits[_bytes[i] >> 4];
        out += kDigits[_bytes[i] & 0xF];
    }
    return out + ">";
}
