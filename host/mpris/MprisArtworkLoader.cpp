#include "mpris/MprisArtworkLoader.h"

#include <cstdio>

#include "mpris/MprisArtwork.h"

MprisArtworkLoader::MprisArtworkLoader(Options options)
    : _options(std::move(options)), _cache(_options.cacheDirectory, _options.cacheBytes) {}

UICairoSurface MprisArtworkLoader::load(const std::string& url, const std::function<bool()>& superseded) {
    if (mpris::isRemoteArtworkUrl(url)) {
        return loadRemote(url, superseded);
    }
    return mpris::loadArtwork(url);
}

UICairoSurface MprisArtworkLoader::loadRemote(const std::string& url,
                                              const std::function<bool()>& superseded) {
    if (const auto kept = _cache.read(url)) {
        if (auto artwork = mpris::decodeArtwork(*kept)) {
            return artwork;
        }
        // Damaged on disk after all: fetched again below.
        _cache.remove(url);
    }
    const auto fetched = mpris::fetchArtwork(url, _options.limits, superseded);
    if (fetched.cancelled) {
        return {};
    }
    if (!fetched.error.empty()) {
        reportOnce(url, fetched.error);
        return {};
    }
    auto artwork = mpris::decodeArtwork(fetched.bytes);
    if (!artwork) {
        reportOnce(url, "not a PNG or JPEG picture (or too large a one)");
        return {};
    }
    _cache.write(url, fetched.bytes);
    return artwork;
}

void MprisArtworkLoader::reportOnce(const std::string& url, const std::string& reason) {
    if (!_reported.insert(url).second) {
        return;
    }
    // The URL comes from a player: kept to one line of sensible length.
    std::string shown = url.substr(0, 300);
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    const std::string line = "cannot fetch the artwork " + shown + ": " + reason;
    if (_options.report) {
        _options.report(line);
    } else {
        std::fputs(("trillbox: " + line + "\n").c_str(), stderr);
    }
}
