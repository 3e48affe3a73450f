#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "UIKit/UIImage.h"

// Artwork from a player's art URL: `file://` and `data:` URLs with PNG or JPEG
// data. Remote URLs are not fetched. Anything that cannot be read or decoded
// gives no artwork.
namespace mpris {

// Larger files are not read.
inline constexpr std::size_t kMaxArtworkFileBytes = 16 * 1024 * 1024;
// Larger images are not decoded (a small file can claim an enormous image).
inline constexpr std::int64_t kMaxArtworkPixels = 6000LL * 6000LL;
// Decoded images are scaled down to fit this many pixels on their longer side.
inline constexpr int kMaxArtworkSide = 1024;

// The bytes an art URL points to, or nothing for a remote, malformed, missing,
// unreadable, non-regular or oversized source.
std::optional<std::vector<unsigned char>> readArtworkBytes(std::string_view url);

// A PNG or JPEG image as an ARGB32 image surface no larger than kMaxArtworkSide,
// or an empty surface for anything else.
UICairoSurface decodeArtwork(std::span<const unsigned char> bytes);

// readArtworkBytes then decodeArtwork.
UICairoSurface loadArtwork(std::string_view url);

} // namespace mpris

// Where artwork comes from, for the session; results arrive on the main thread.
class MprisArtworkSource {
public:
    using Completion = std::function<void(UICairoSurface artwork)>;
    virtual ~MprisArtworkSource() = default;
    // Loads `url` and calls `completion` on the main run loop with the image or
    // an empty surface. Completions may come in any order.
    virtual void load(std::string url, Completion completion) = 0;
};

// Loads artwork on a worker thread of its own. Completions of loads still
// pending when it is destroyed never run.
class MprisArtworkDecoder final : public MprisArtworkSource {
public:
    MprisArtworkDecoder();
    ~MprisArtworkDecoder() override;
    MprisArtworkDecoder(const MprisArtworkDecoder&) = delete;
    MprisArtworkDecoder& operator=(const MprisArtworkDecoder&) = delete;

    void load(std::string url, Completion completion) override;

private:
    struct Request {
        std::string url;
        Completion completion;
    };
    void work();

    // Completions posted to the main run loop run only while this is alive.
    std::shared_ptr<int> _lifeline = std::make_shared<int>(0);
    std::mutex _mutex;
    std::condition_variable _wake;
    std::deque<Request> _requests;
    bool _stopping = false;
    std::thread _worker;
};
