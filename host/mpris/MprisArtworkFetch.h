#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mpris/MprisArtwork.h"

// Artwork that players point to on a web server, fetched over http or https.
namespace mpris {

// How far one fetch may go.
struct ArtworkFetchLimits {
    // A larger body is abandoned as it arrives, whether or not its size was declared.
    std::size_t maxBytes = kMaxArtworkFileBytes;
    // For the whole fetch, redirects included.
    double seconds = 5;
    long maxRedirects = 5;
};

struct ArtworkFetchResult {
    // The whole body, when `error` is empty.
    std::vector<unsigned char> bytes;
    // Why there is no body, in a few words for the user; empty on success.
    std::string error;
    // Given up because the caller no longer wanted it (not a failure).
    bool cancelled = false;
};

// Whether `url` is an http or https URL, which fetchArtwork takes.
bool isRemoteArtworkUrl(std::string_view url);

// Fetches `url` within `limits`, following redirects to http and https URLs only,
// with the server's certificate checked. Blocks the calling thread; `cancelled`
// (may be empty) is asked while it runs, and answering true ends the fetch.
ArtworkFetchResult fetchArtwork(const std::string& url, const ArtworkFetchLimits& limits,
                                const std::function<bool()>& cancelled);

} // namespace mpris
