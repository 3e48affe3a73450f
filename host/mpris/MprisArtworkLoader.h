#pragma once

#include <functional>
#include <set>
#include <string>

#include "UIKit/UIImage.h"
#include "mpris/MprisArtworkCache.h"
#include "mpris/MprisArtworkFetch.h"

// Turns an art URL into a picture: local files and data: URLs are read, http and
// https URLs answered from the cache or fetched (and then kept in the cache).
// A remote picture that cannot be had is told once per URL, in one line. Used by
// one thread at a time.
class MprisArtworkLoader {
public:
    struct Options {
        std::string cacheDirectory = MprisArtworkCache::defaultDirectory();
        std::uint64_t cacheBytes = MprisArtworkCache::kDefaultMaxBytes;
        mpris::ArtworkFetchLimits limits;
        // Where the line about a failed fetch goes; standard error when empty.
        std::function<void(const std::string& line)> report;
    };

    explicit MprisArtworkLoader(Options options);
    MprisArtworkLoader(const MprisArtworkLoader&) = delete;
    MprisArtworkLoader& operator=(const MprisArtworkLoader&) = delete;

    // The picture at `url`, or an empty surface. `superseded` (may be empty) is
    // asked during a fetch; answering true gives it up without a word.
    UICairoSurface load(const std::string& url, const std::function<bool()>& superseded);

private:
    UICairoSurface loadRemote(const std::string& url, const std::function<bool()>& superseded);
    void reportOnce(const std::string& url, const std::string& reason);

    Options _options;
    MprisArtworkCache _cache;
    std::set<std::string> _reported;
};
