#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Fetched artwork kept on disk, one file per URL (named by a hash of it), so that
// the same URL sent again, or after a restart, is not fetched again. The files
// together stay within a byte bound: the entries used longest ago go first.
// Every operation fails quietly: the cache is only ever a short cut.
class MprisArtworkCache {
public:
    static constexpr std::uint64_t kDefaultMaxBytes = 50'000'000;

    // A cache in `directory` (created when first written to; no cache when empty).
    explicit MprisArtworkCache(std::string directory, std::uint64_t maxBytes = kDefaultMaxBytes);

    // $XDG_CACHE_HOME/trillbox/artwork, else ~/.cache/trillbox/artwork; empty
    // when neither variable gives an absolute path.
    static std::string defaultDirectory();

    // The bytes kept for `url`, or nothing. An entry that is damaged (cut short,
    // altered, of another URL) is removed.
    std::optional<std::vector<unsigned char>> read(const std::string& url);
    // Keeps `bytes` for `url`, replacing any earlier entry at once (readers see the
    // old or the new one, never a part), then trims the cache to its bound.
    void write(const std::string& url, std::span<const unsigned char> bytes);
    // Forgets `url`.
    void remove(const std::string& url);

    const std::string& directory() const { return _directory; }

private:
    std::string pathFor(const std::string& url) const;
    void trim();

    std::string _directory;
    std::uint64_t _maxBytes;
};
