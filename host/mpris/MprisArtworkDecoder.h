#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "mpris/MprisArtworkSource.h"

// Loads artwork on a worker thread of its own, only ever the newest: a load
// supersedes the one waiting (which is dropped without its completion) and makes
// a fetch in progress give up. Completions of loads still pending when it is
// destroyed never run.
class MprisArtworkDecoder final : public MprisArtworkSource {
public:
    // Turns a URL into a picture on the worker thread; `superseded` answers
    // whether a newer load came in meanwhile.
    using Loader =
        std::function<UICairoSurface(const std::string& url, const std::function<bool()>& superseded)>;

    // Loads with an MprisArtworkLoader of the default options.
    MprisArtworkDecoder();
    explicit MprisArtworkDecoder(Loader loader);
    ~MprisArtworkDecoder() override;
    MprisArtworkDecoder(const MprisArtworkDecoder&) = delete;
    MprisArtworkDecoder& operator=(const MprisArtworkDecoder&) = delete;

    void load(std::string url, Completion completion) override;

private:
    struct Request {
        std::string url;
        Completion completion;
        std::uint64_t generation = 0;
    };
    void work();

    Loader _loader;
    // Completions posted to the main run loop run only while this is alive.
    std::shared_ptr<int> _lifeline = std::make_shared<int>(0);
    std::mutex _mutex;
    std::condition_variable _wake;
    std::optional<Request> _waiting;
    std::atomic<std::uint64_t> _generation = 0;
    bool _stopping = false;
    std::thread _worker;
};
