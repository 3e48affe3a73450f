#include "mpris/MprisArtworkCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Foundation/NSFileDescriptor.h"

namespace {

constexpr std::string_view kEntryMagic = "trillbox-artwork 1";

std::uint64_t fnv1a64(std::span<const unsigned char> bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char byte : bytes) {
        hash = (hash ^ byte) * 0x100000001b3ULL;
    }
    return hash;
}

std::string hex64(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::span<const unsigned char> bytesOf(std::string_view text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

// "trillbox-artwork 1 <size> <hash of the picture>\n<url>\n": what an entry must start with.
std::string entryHeader(const std::string& url, std::span<const unsigned char> bytes) {
    return std::string(kEntryMagic) + " " + std::to_string(bytes.size()) + " " + hex64(fnv1a64(bytes)) +
           "\n" + url + "\n";
}

} // namespace

MprisArtworkCache::MprisArtworkCache(std::string directory, std::uint64_t maxBytes)
    : _directory(std::move(directory)), _maxBytes(maxBytes) {}

std::string MprisArtworkCache::defaultDirectory() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && cacheHome[0] == '/') {
        return std::string(cacheHome) + "/trillbox/artwork";
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        return std::string(home) + "/.cache/trillbox/artwork";
    }
    return {};
}

std::string MprisArtworkCache::pathFor(const std::string& url) const {
    return _directory + "/" + hex64(fnv1a64(bytesOf(url)));
}

std::optional<std::vector<unsigned char>> MprisArtworkCache::read(const std::string& url) {
    if (_directory.empty()) {
        return std::nullopt;
    }
    const std::string path = pathFor(url);
    NSFileContents contents = NSReadWholeFile(path, _maxBytes + url.size() + 128);
    if (!contents.bytes) {
        return std::nullopt;
    }
    auto& entry = *contents.bytes;
    // The header is checked against the picture after it: a URL with the same hash,
    // or a file cut short or changed, is not answered.
    const std::string_view text(reinterpret_cast<const char*>(entry.data()), entry.size());
    const auto firstLine = text.find('\n');
    const auto secondLine = firstLine == std::string_view::npos ? firstLine : text.find('\n', firstLine + 1);
    if (secondLine != std::string_view::npos) {
        const auto picture = std::span(entry).subspan(secondLine + 1);
        if (text.substr(0, secondLine + 1) == entryHeader(url, picture)) {
            // Used now: it is the last to go when the cache is trimmed.
            ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
            return std::vector<unsigned char>(picture.begin(), picture.end());
        }
    }
    ::unlink(path.c_str());
    return std::nullopt;
}

void MprisArtworkCache::write(const std::string& url, std::span<const unsigned char> bytes) {
    if (_directory.empty() || bytes.size() > _maxBytes) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(_directory, error);
    const std::string path = pathFor(url);
    std::string temporary = path + ".XXXXXX";
    NSFileDescriptor file(::mkstemp(temporary.data()));
    if (!file.valid()) {
        return;
    }
    const std::string header = entryHeader(url, bytes);
    const bool written = file.writeAll(header.data(), header.size()) &&
                         file.writeAll(bytes.data(), bytes.size()) && file.close() &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return;
    }
    trim();
}

void MprisArtworkCache::remove(const std::string& url) {
    if (!_directory.empty()) {
        ::unlink(pathFor(url).c_str());
    }
}

void MprisArtworkCache::trim() {
    struct Entry {
        std::filesystem::file_time_type used;
        std::uint64_t size = 0;
        std::filesystem::path path;
    };
    std::vector<Entry> entries;
    std::uint64_t total = 0;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(_directory, error)) {
        std::error_code itemError;
        if (!item.is_regular_file(itemError)) {
            continue;
        }
        Entry entry{item.last_write_time(itemError), item.file_size(itemError), item.path()};
        if (!itemError) {
            total += entry.size;
            entries.push_back(std::move(entry));
        }
    }
    if (total <= _maxBytes) {
        return;
    }
    std::ranges::sort(entries, [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const auto& entry : entries) {
        if (total <= _maxBytes) {
            break;
        }
        if (std::filesystem::remove(entry.path, error)) {
            total -= entry.size;
        }
    }
}
