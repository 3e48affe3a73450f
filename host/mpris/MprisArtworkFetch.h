#pragma once

#include <cstddef>
#include <functional>
#include <span>
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

// A server's answer to a picture request, checked as it arrives, whatever the
// transport: header lines and body chunks in order, the body kept up to a cap. A
// body declared or found larger than the cap, or declared as something plainly not
// a picture (text/html, application/json, ...), is refused at once and nothing is
// kept. Absent and generic types (application/octet-stream, ...) are left to the
// decoder, which looks at the bytes. Every byte from the server is untrusted.
class ArtworkResponse {
public:
    explicit ArtworkResponse(std::size_t maxBytes) : _maxBytes(maxBytes) {}

    // One header line as received, its line ending optional. A status line starts
    // a new response (after a redirect or an interim answer), of which only a
    // successful one is checked. False once the response is refused.
    bool header(std::string_view line);
    // The next piece of the body; false once the response is refused.
    bool receive(std::span<const unsigned char> chunk);

    bool refused() const { return !_refusal.empty(); }
    std::size_t keptBytes() const { return _bytes.size(); }
    // The whole body, or why there is none (a refusal, or no body at all). Once.
    ArtworkFetchResult finish();

private:
    void refuse(std::string reason);

    std::size_t _maxBytes;
    int _status = 0;
    std::vector<unsigned char> _bytes;
    std::string _refusal;
};

// Whether `url` is an http or https URL, which fetchArtwork takes.
bool isRemoteArtworkUrl(std::string_view url);

// Fetches `url` within `limits`, following redirects to http and https URLs only,
// with the server's certificate checked. Blocks the calling thread; `cancelled`
// (may be empty) is asked while it runs, and answering true ends the fetch.
ArtworkFetchResult fetchArtwork(const std::string& url, const ArtworkFetchLimits& limits,
                                const std::function<bool()>& cancelled);

} // namespace mpris
